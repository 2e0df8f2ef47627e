#include "app/program.h"

#include "app/core/commandline.h"
#include "services/ui/frmerrore.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

Programma::Programma(RunDisponibili available)
    : m_startup(m_window, m_flags), m_settingsCommands(m_window),
      m_runCommands(m_window, m_flags, m_runs, std::move(available))
{
    QObject::connect(&m_window, &FrmMain::cambiaDatabaseRichiesto, &m_window,
                     [this] { m_settingsCommands.cambiaDatabase(); });
    QObject::connect(&m_window, &FrmMain::testConnessioneRichiesto, &m_window,
                     [this] { m_settingsCommands.testConnessione(); });
    QObject::connect(&m_window, &FrmMain::opzioniRichieste, &m_window,
                     [this](Pannello exchange) { m_settingsCommands.cambiaOpzioni(exchange); });
    QObject::connect(&m_window, &FrmMain::runRichiesto, &m_window,
                     [this](Pannello panel) { m_runCommands.esegui(panel); });
    QObject::connect(&m_window, &FrmMain::esciRichiesto, &m_window, [this] { m_runCommands.esci(); });
    QObject::connect(&m_window.timerComandiAuto(), &QTimer::timeout, &m_window,
                     [this] { m_runCommands.tickComandiAuto(); });
    QObject::connect(&m_window.timerEnd(), &QTimer::timeout, &m_window, [this] { m_runCommands.tickEnd(); });
    m_window.impostaControlloChiusura([this] { return m_runCommands.puoChiudere(); });
}

bool Programma::avvia(const QString& commandLine)
{
    return m_startup.esegui(commandLine);
}

namespace {
void fotografaFinestra(Programma& program, const QString& file)
{
    const bool unattended = program.modoAutomatico().autoCatalogo || program.modoAutomatico().autoVendite;
    auto* poll = new QTimer(&program.finestra());
    poll->setInterval(unattended ? 250 : 1000);
    QObject::connect(poll, &QTimer::timeout, &program.finestra(), [&program, file, unattended] {
        // The unattended runs have ended when the end-of-program timer is armed and none is in progress.
        if (unattended && !(program.finestra().timerEnd().isActive() && program.comandiRun().puoChiudere()))
            return;
        program.finestra().grab().save(file);
        QApplication::quit();
    });
    poll->start();
}
} // namespace

int eseguiProgramma()
{
    installaReportErrori();
    Programma program;
    program.avvia(testoRigaComando(QCoreApplication::arguments()));
    program.finestra().show();
    // For the documentation: ESPORTA_IMPORTA_SCREENSHOT=file.png saves a picture of the window and
    // closes the program: once start-up has settled, or, with "/C" or "/V", once the unattended runs
    // have ended, with their lines and bars still on screen.
    const QString screenshot = qEnvironmentVariable("ESPORTA_IMPORTA_SCREENSHOT");
    if (!screenshot.isEmpty()) fotografaFinestra(program, screenshot);
    QApplication::exec();
    // The window was closed with its close box.
    return program.comandiRun().statoUscita();
}
