#include "app/windowdisplay.h"

#include "app/frmmain.h"
#include "app/runtimings.h"
#include "services/activitylog.h"
#include "services/clock.h"
#include "services/fixedwidth.h"
#include "services/progress.h"
#include "services/regional.h"
#include "services/ui/modal.h"

#include <QApplication>
#include <QElapsedTimer>

void DisplayFinestra::scriviLog(Pannello panel, const QString& text)
{
    scriviLogRighe(panel, {text});
}

void DisplayFinestra::scriviLogRighe(Pannello panel, const QStringList& lines)
{
    // What the panel costs: its lines and the event pass that shows them (the activity log aside).
    QElapsedTimer shown;
    shown.start();
    // Lines written together share their moment.
    const QString stamp = oraSistema(adesso().time()) + QStringLiteral(" -- ");
    QStringList shownLines;
    shownLines.reserve(lines.size());
    for (const QString& text : lines)
        shownLines << stamp + senzaSpazi(text);
    m_window.pannello(panel).aggiungiRighe(shownLines);
    qint64 cost = shown.nsecsElapsed();
    ScriviLog(lines);
    shown.restart();
    // Lines may come by the thousand (a file of rejected lines): like a run's other steps they let the
    // window's events run at intervals, not after each.
    if (m_events.dovuto()) lasciaPassareEventi();
    cost += shown.nsecsElapsed();
    if (m_timings) m_timings->linesShown(int(lines.size()), cost);
}

void DisplayFinestra::azzeraPannello(Pannello panel)
{
    m_window.pannello(panel).azzera();
}

void DisplayFinestra::impostaMassimo(Pannello panel, int maximum)
{
    m_window.pannello(panel).impostaMassimo(maximum);
}

void DisplayFinestra::avanzaProgresso(Pannello panel)
{
    if (const std::optional<int> percentage = m_window.pannello(panel).avanza())
        m_window.setWindowTitle(titoloPercentuale(*percentage));
}

void DisplayFinestra::svuotaAttivita(Pannello panel)
{
    m_window.pannello(panel).svuotaAttivita();
}

void DisplayFinestra::impostaTitolo(const QString& title)
{
    m_window.setWindowTitle(title);
}

void DisplayFinestra::impostaOccupato(bool busy)
{
    if (m_timings) m_timings->busy(busy);
    m_window.impostaOccupato(busy);
}

void DisplayFinestra::lasciaPassareEventi()
{
    QApplication::processEvents();
    m_events.passati();
}

bool DisplayFinestra::chiediSiNo(const QString& title, const QString& text)
{
    return mostraMessaggio(&m_window, QMessageBox::Question, title, text,
                           QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void DisplayFinestra::avvisa(IconaMessaggio icon, const QString& title, const QString& text)
{
    mostraMessaggio(&m_window,
                    icon == IconaMessaggio::Critica ? QMessageBox::Critical : QMessageBox::Information, title,
                    text, QMessageBox::Ok);
}
