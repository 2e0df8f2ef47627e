#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <array>

// How a run felt to the operator, measured in the program itself: the longest pause between two passes
// of the event loop, what the panel's lines cost, and how long the run worked. Asked for with the
// environment variable ESPORTA_IMPORTA_TIMINGS (any value); the program then writes one line to standard
// error at the end of each run. Never measured otherwise.
class RunTimings : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSample = 1000; // lines at each end of the panel compared

    static bool requested();

    // Starts the clocks and watches the event loop of this thread from now on.
    explicit RunTimings(QString runName);

    // The window has gone busy (the work starts) or idle.
    void busy(bool busy);
    // `lines` lines reached the panel at a cost of `nanoseconds` in all, the event pass after them
    // included.
    void linesShown(int lines, qint64 nanoseconds);

    // The run has ended: the last pause closes and the report line is made.
    QString finish();

    qint64 longestPauseNs() const { return m_longestPause; }
    int lines() const { return m_lines; }
    // The last kSample lines' cost over the first kSample lines', 0 below 2 * kSample lines.
    double panelRatio() const;

private:
    void pass(bool blocking);

    QString m_runName;
    QElapsedTimer m_clock;
    qint64 m_lastPass = 0;
    bool m_blocked = false;
    qint64 m_longestPause = 0;
    qint64 m_busySince = -1;
    qint64 m_lastLine = -1;
    int m_lines = 0;
    qint64 m_firstCost = 0;
    std::array<qint64, kSample> m_recent{}; // the cost of the last kSample lines, as a ring
    qint64 m_recentCost = 0;
};
