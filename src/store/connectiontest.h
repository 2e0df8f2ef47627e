#pragma once

#include "services/connectionsettings.h"

#include <QString>
#include <QStringList>

#include <functional>

// Connection tests of the main window. `lasciaPassareEventi` is called repeatedly while a test waits,
// so the window keeps repainting and its timers keep firing.
using EventPump = std::function<void()>;

// ConnettiDatabase: the store database of the settings opens within the time limits (3-second login,
// at most about 5 seconds of waiting). On success the shared connection is opened once and kept.
// Shows nothing.
bool ConnettiDatabase(const ImpostazioniConnessione& settings, const EventPump& lasciaPassareEventi);

// ConnettiMaster: the same test on the server's master catalog; on failure `mostraMessaggio` receives
// the text to show the operator ("Impossibile Connettersi al DataBase", possibly with the reason).
bool ConnettiMaster(const ImpostazioniConnessione& settings, const EventPump& lasciaPassareEventi,
                    const std::function<void(const QString&)>& mostraMessaggio);

// ElencaDatabase: the store databases of the server (names beginning with CORVUS or TAVIRA, in upper
// case, in the server's order). A failure goes to the error report with " (Cambia DataBase)"; false.
bool ElencaDatabase(QStringList& elenco, const QString& server, const QString& user, const QString& password);
