#pragma once

#include <QString>

// The four settings of the store database that the main window holds (server, user, password,
// database name), read afresh by everything that connects.
struct ImpostazioniConnessione
{
    QString server;
    QString utente;
    QString password;
    QString database;
};
