#pragma once

#include <QString>
#include <QStringList>

// The switches of the command line. Each is a plain substring of the upper-cased argument text, so
// they may come in any order and letter case, with or without separators: "/c/v" holds both "/C" and
// "/V", while "/CV" holds only "/C". Anything else on the line is ignored.
struct SwitchAvvio
{
    bool senzaAccesso = false; // "/A": no password at start-up
    bool autoCatalogo = false; // "/C": unattended catalog export
    bool autoVendite = false;  // "/V": unattended sales import
};

// The argument text that follows the program's name: the arguments joined with one blank.
QString testoRigaComando(const QStringList& arguments);

SwitchAvvio leggiSwitch(const QString& commandLine);
