#include "program.h"

#include "commandline.h"
#include "frmerrore.h"

#include <QApplication>
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

bool Programma::avvia(const QString& commandLine) { return m_startup.esegui(commandLine); }

int eseguiProgramma()
{
    installaReportErrori();
    Programma program;
    program.avvia(testoRigaComando(QCoreApplication::arguments()));
    program.finestra().show();
    QApplication::exec();
    // The window was closed with its close box.
    return program.comandiRun().statoUscita();
}
