#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The command line of tavira-store.
struct ArgomentiStrumento
{
    QString comando; // "init", "demo", "vendite", "aggiorna", "carica", "scarica" or "aiuto" (--help)
    QString file;    // the store, a .sqlite file
    QString uscita;  // vendite: the sales file written
    QString server;  // carica, scarica: the SQL Server and its database, user and password
    QString database;
    QString utente;
    QString password;
    int titoli = 300;
    int vendite = 20;
    int righe = 5;
    int linee = 0;     // vendite: above 0, the sales fill exactly this many lines (--vendite then unused)
    bool prove = true; // vendite: the lines for the import to turn away follow the sales
    quint32 seed = 1;
    bool sovrascrivi = false;
};

// The arguments after the program name; nothing (with the reason in `error`) when they are not valid.
std::optional<ArgomentiStrumento> leggiArgomenti(const QStringList& arguments, QString& error);

QString usoStrumento();
