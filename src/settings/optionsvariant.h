#pragma once

#include "settings/opzioni.h"

#include <QString>

// What tells the three settings dialogs apart: their names and texts, the parameters they edit and the
// lines they log. Everything else is the one design of FrmOpzioni.
struct OptionsVariant
{
    TipoOpzioni kind;
    QString windowName;
    QString caption;
    QString folderFrame;
    QString folderBoxName;
    QString nameFrame;
    QString folderKey;
    QString nameKey;
    QString defaultName;
    QString missingFolderMessage;
    QString folderLogText;
    QString nameLogText;
    QString saveTag;
    QString openTag;
    bool titleSelection; // the catalog's choice of titles, kept in QualiTitoliCatalogoTotale
};

const OptionsVariant& optionsVariant(TipoOpzioni kind);
