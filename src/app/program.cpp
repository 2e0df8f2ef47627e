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

int eseguiProgramma()
{
    installaReportErrori();
    Programma program;
    program.avvia(testoRigaComando(QCoreApplication::arguments()));
    program.finestra().show();
    // For the documentation: ESPORTA_IMPORTA_SCREENSHOT=file.png saves a picture of the window once
    // start-up has settled, then closes the program before any unattended run could start.
    const QString screenshot = qEnvironmentVariable("ESPORTA_IMPORTA_SCREENSHOT");
    if (!screenshot.isEmpty())
        QTimer::singleShot(1000, &program.finestra(), [&program, screenshot] {
            program.finestra().grab().save(screenshot);
            QApplication::quit();
        });
    QApplication::exec();
    // The window was closed with its close box.
    return program.comandiRun().statoUscita();
}
