#include "app/runtimings.h"

#include <QAbstractEventDispatcher>

namespace {
QString millis(qint64 nanoseconds)
{
    return QString::number(double(nanoseconds) / 1e6, 'f', 1);
}
} // namespace

bool RunTimings::requested()
{
    return qEnvironmentVariableIsSet("ESPORTA_IMPORTA_TIMINGS");
}

RunTimings::RunTimings(QString runName) : m_runName(std::move(runName))
{
    m_clock.start();
    // A pass of the event loop starts with "awake"; "aboutToBlock" means it waits for events, which is
    // no pause for the operator.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(
            dispatcher, &QAbstractEventDispatcher::awake, this, [this] { pass(false); },
            Qt::DirectConnection);
        connect(
            dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { pass(true); },
            Qt::DirectConnection);
    }
}

void RunTimings::pass(bool blocking)
{
    const qint64 now = m_clock.nsecsElapsed();
    if (!m_blocked) m_longestPause = qMax(m_longestPause, now - m_lastPass);
    m_blocked = blocking;
    m_lastPass = now;
}

void RunTimings::busy(bool busy)
{
    if (busy && m_busySince < 0) m_busySince = m_clock.nsecsElapsed();
}

void RunTimings::linesShown(int lines, qint64 nanoseconds)
{
    m_lastLine = m_clock.nsecsElapsed();
    const qint64 cost = lines > 0 ? nanoseconds / lines : 0;
    for (int i = 0; i < lines; ++i) {
        if (m_lines < kSample) m_firstCost += cost;
        qint64& slot = m_recent[std::size_t(m_lines % kSample)];
        m_recentCost += cost - slot;
        slot = cost;
        ++m_lines;
    }
}

double RunTimings::panelRatio() const
{
    if (m_lines < 2 * kSample || m_firstCost <= 0) return 0;
    return double(m_recentCost) / double(m_firstCost);
}

QString RunTimings::finish()
{
    pass(true);
    const qint64 work = (m_busySince >= 0 && m_lastLine > m_busySince) ? m_lastLine - m_busySince : -1;
    QString report = QStringLiteral("esporta-importa timings: run=%1 run_ms=%2 work_ms=%3 longest_gap_ms=%4 "
                                    "panel_lines=%5")
                         .arg(m_runName, millis(m_clock.nsecsElapsed()),
                              work >= 0 ? millis(work) : QStringLiteral("-"), millis(m_longestPause))
                         .arg(m_lines);
    if (m_lines >= 2 * kSample)
        report += QStringLiteral(" panel_first_%1_ms=%2 panel_last_%1_ms=%3 panel_ratio=%4")
                      .arg(kSample)
                      .arg(millis(m_firstCost), millis(m_recentCost), QString::number(panelRatio(), 'f', 2));
    return report;
}
