#pragma once

#include "services/connectionsettings.h"

#include <QString>

#include <functional>

// A connection test that cannot hang the window: the connection is opened on a worker thread with a
// connection private to it, while the calling thread keeps calling the event pump. A worker still
// waiting on its server when the wait ends is abandoned: it closes and removes its own connection
// whenever the driver gives it back.
enum class EsitoProva {
    Aperta,    // the connection opened within the wait
    NonAperta, // the server refused, did not answer in time, or the database is missing
    Rifiutata  // the settings could not be sent safely (nothing reached the server)
};

struct RisultatoProva
{
    EsitoProva esito = EsitoProva::NonAperta;
    QString descrizione; // the reason, when there is one
};

RisultatoProva provaConnessione(const ImpostazioniConnessione& settings, int loginTimeoutSeconds, int waitMs,
                                const std::function<void()>& pump);

// True on the worker thread of such a test.
bool suLavoroDiProva();
