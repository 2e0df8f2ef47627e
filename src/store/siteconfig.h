#pragma once

#include <QString>

// Tavira.XML, the site configuration of the store-management product: which server, which database,
// which accounts. Read only.
struct ConfigurazioneSito
{
    QString database;      // attribute dataBaseName
    QString server;        // DBServerName
    QString utente;        // DBUsername
    QString password;      // DBPassword
    QString utenteAdmin;   // DBAdminUsername (kept, unused)
    QString passwordAdmin; // DBAdminPassword (kept, unused)
};

// The full path of Tavira.XML in the program folder; a file of that name in another letter case is
// taken when there is none in this one.
QString PercorsoConfigurazione();

// Reads and validates the file; true when the whole read succeeded, the values then being available
// from configurazioneSito(). Shows nothing.
bool LeggiConfigurazione(const QString& path);
const ConfigurazioneSito& configurazioneSito();

// The values the file must hold to be accepted but that the program does not use, as the last
// successful read found them (with their defaults where the file leaves them out).
struct AltriValoriSito
{
    bool compressioneZefiro = false; // zefiroCompression
    QString percorsoZefiro;          // zefiroBasePath, or the program folder + ZEFIRO
    bool debug = false;
    QString terminale;                          // terminal
    bool masterZefiro = false;                  // zefiroMaster
    bool mostraToolbar = false;                 // toolbarShow
    QString portaScanner = QStringLiteral("0"); // barcodeScannerCom port
    QString impostazioniScanner;                // barcodeScannerCom settings
    QString codiciBanco[5];                     // code of bancobarcode, bancobarcode1 ... bancobarcode4
};
const AltriValoriSito& altriValoriSito();

// The rule for zefiroBasePath: a program folder on the network (beginning with "\\" or "//") takes the
// attribute's value ("" when missing); a local one gives the folder followed by ZEFIRO.
QString percorsoZefiro(const QString& programFolder, const QString* attributeValue);
