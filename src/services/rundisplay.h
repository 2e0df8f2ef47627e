#pragma once

#include "services/connectionsettings.h"
#include "services/scambi.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

enum class IconaMessaggio { Critica, Informazione };

// For steps too short to let the window's events run after each (a title read, a line staged, a sale
// made): the events are due once kPassoEventiMs have gone by since they last ran.
class PassoEventi
{
public:
    static constexpr qint64 kPassoEventiMs = 20;

    PassoEventi() { m_since.start(); }
    // True when the events are due; the interval then starts again.
    bool dovuto()
    {
        if (m_since.elapsed() < kPassoEventiMs) return false;
        m_since.restart();
        return true;
    }
    // The events have just run another way (with log lines, say).
    void passati() { m_since.restart(); }

private:
    QElapsedTimer m_since;
};

// What a run (catalog export, sales import) may do to the window. The runs see nothing else of it, so
// they run and are tested without a screen.
class RunDisplay
{
public:
    virtual ~RunDisplay() = default;

    // ScriviLogCatalogo / ScriviLogVendite: a time-stamped line in the panel's list, the text in the
    // activity log, then pending window events run.
    virtual void scriviLog(Pannello panel, const QString& text) = 0;
    // Several lines in a row, as many calls of scriviLog; a window may write them to the activity log
    // at once and let its events run once after the last.
    virtual void scriviLogRighe(Pannello panel, const QStringList& lines)
    {
        for (const QString& line : lines)
            scriviLog(panel, line);
    }

    // Panel reset: list emptied; bar maximum 100, minimum 0, value 0.
    virtual void azzeraPannello(Pannello panel) = 0;
    virtual void impostaMassimo(Pannello panel, int maximum) = 0;
    // AvanzaProgresso: one step of the bar; every tenth step the title percentage and the dots.
    virtual void avanzaProgresso(Pannello panel) = 0;
    virtual void svuotaAttivita(Pannello panel) = 0; // the activity label becomes ""

    virtual void impostaTitolo(const QString& title) = 0;
    // Busy: window disabled, hourglass pointer. Idle: window enabled, the icon pointer.
    virtual void impostaOccupato(bool busy) = 0;
    virtual void lasciaPassareEventi() = 0;
    // What has been written is on screen now, whatever the interval since the events last ran: called
    // before a step that may hold the run for seconds on the store (a login, a query that waits for a
    // lock), so that the lines leading up to it do not stay hidden while it waits.
    virtual void mostraOra() { lasciaPassareEventi(); }

    // Modal questions and messages; the runs leave them out when unattended.
    virtual bool chiediSiNo(const QString& title, const QString& text) = 0;
    virtual void avvisa(IconaMessaggio icon, const QString& title, const QString& text) = 0;
};

// How a run ended: completed (the success end), or interrupted (a failed check, a refusal, an abort).
enum class EsitoRun { Completata, Interrotta };

// What a run is handed when it starts: the window it reports to, the connection settings the window
// holds at that moment, and whether it runs unattended (AutoCatalogo, AutoVendite).
struct ContestoRun
{
    RunDisplay& display;
    ImpostazioniConnessione connessione;
    bool automatico;
};

// What a run says to the operator: lines in its panel (and the activity log), and message boxes that an
// unattended run leaves out.
class PannelloScambio
{
public:
    PannelloScambio(RunDisplay& display, Pannello panel, bool unattended)
        : m_display(display), m_panel(panel), m_unattended(unattended)
    {
    }

    RunDisplay& display() const { return m_display; }
    Pannello pannello() const { return m_panel; }
    bool automatico() const { return m_unattended; }

    void log(const QString& text) const { m_display.scriviLog(m_panel, text); }
    void log(const QStringList& lines) const { m_display.scriviLogRighe(m_panel, lines); }

    // A message box, unless unattended.
    void avvisa(IconaMessaggio icon, const QString& title, const QString& text) const
    {
        if (!m_unattended) m_display.avvisa(icon, title, text);
    }

    // A critical box titled "Attenzione!".
    void avvisaErrore(const QString& text) const
    {
        avvisa(IconaMessaggio::Critica, QStringLiteral("Attenzione!"), text);
    }

    // A logged check failure: the line, then the same text in a critical box.
    void segnala(const QString& text) const
    {
        log(text);
        avvisaErrore(text);
    }

    static QString riga() { return QString(49, QLatin1Char('=')); }

private:
    RunDisplay& m_display;
    Pannello m_panel;
    bool m_unattended;
};
