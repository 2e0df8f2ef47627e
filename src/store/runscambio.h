#pragma once

#include "services/rundisplay.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class ExchangeLock;
class ConnessioneStore;

// Where an exchange's file is, as the run's checks found it.
struct FileScambio
{
    QString cartella; // the folder parameter, ending with a separator
    QString nome;     // the file-name parameter as stored
};

// The frame shared by the runs of the exchanges (the catalog export, the sales import): the panel reset
// and opening lines, the run's own connection to the store, the reservation of the exchange file against
// other instances of the program, the busy state, and the two endings. The run's own steps go between.
class RunScambio
{
public:
    RunScambio(const ContestoRun& context, Pannello panel);
    ~RunScambio();
    RunScambio(const RunScambio&) = delete;
    RunScambio& operator=(const RunScambio&) = delete;

    const PannelloScambio& pannello() const { return m_panel; }
    RunDisplay& display() const { return m_context.display; }
    bool automatico() const { return m_context.automatico; }
    void log(const QString& text) const { m_panel.log(text); }

    // Panel reset, the "(0%)" title, then the opening lines up to "Test Connessione Database Tavira".
    void avvia();

    // Opens the run's connection from the context's settings (also kept as the current connection
    // string): "Connessione OK !", or the failure logged and told. False: the run ends interrupted.
    bool apriConnessione();
    ConnessioneStore& connessione() const { return *m_connection; }

    // The exchange's folder and file name, after the line `testLine`: the folder is configured
    // (`notConfigured` otherwise) and exists (`missing`), the name is set, and the files the run writes or
    // deletes there would replace none of the program's own. Each refusal is logged and told; nothing is
    // returned then and the run ends interrupted.
    std::optional<FileScambio> controllaFile(const QString& testLine, const QString& notConfigured,
                                             const QString& missing) const;

    // Reserves the exchange file: while a run of another instance holds it, waits a few seconds with the
    // window's events running, then logs and tells `busyText`. False: the run ends interrupted. The
    // reservation lasts until the run ends.
    bool riserva(const QString& exchangePath, const QString& busyText);

    // The busy state, then pending events run.
    void entraOccupato();

    // The completed ending: the closing lines between two rows of "=", the success text, the same text
    // in a box titled "OK" unless unattended; the connection released; idle; the plain title; no dots.
    EsitoRun concludi(const QStringList& closingLines, const QString& successText);

    // The interrupted ending: idle; "Esportazione INTERROTTA !!" between two rows of "="; the plain title;
    // no dots; the connection released.
    EsitoRun interrompi();

    static constexpr int kAttesaRiservaMs = 5000;

private:
    void rilascia();

    ContestoRun m_context;
    PannelloScambio m_panel;
    std::unique_ptr<ConnessioneStore> m_connection;
    std::unique_ptr<ExchangeLock> m_lock;
};

// The run's error trap: an unexpected failure goes to the error report with the exchange's tag; should
// the report return, the window is usable again and the run counts as interrupted.
EsitoRun conTrappolaErrori(const ContestoRun& context, Pannello panel, const std::function<EsitoRun()>& run);
