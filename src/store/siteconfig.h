#pragma once

#include <QString>

// Tavira.XML, the site configuration of the store-management product: which server, which database,
// which accounts. Read only.
struct ConfigurazioneSito
{
    QString database;       // attribute dataBaseName
    QString server;         // DBServerName
    QString utente;         // DBUsername
    QString password;       // DBPassword
    QString utenteAdmin;    // DBAdminUsername (kept, unused)
    QString passwordAdmin;  // DBAdminPassword (kept, unused)
};

// The full path of Tavira.XML in the program folder.
QString PercorsoConfigurazione();

// Reads and validates the file; true when the whole read succeeded, the values then being available
// from configurazioneSito(). Shows nothing.
bool LeggiConfigurazione(const QString& path);
const ConfigurazioneSito& configurazioneSito();
