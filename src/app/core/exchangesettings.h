#pragma once

#include "services/scambi.h"

#include <QString>

#include <optional>

// The folder and file settings of the three file exchanges (catalog, sales, update file), as the main
// window shows them: each exchange's folder and name keys in term.ini, and the catalog's title selection.

struct ImpostazioniScambio
{
    QString cartella;                   // as shown: the stored folder, or the default one
    QString nome;                       // as shown: the stored name, or the default one
    std::optional<QString> qualiTitoli; // catalog only: the text shown for the title selection
};

// The program folder followed by a separator (a root keeps its single separator).
QString cartellaPredefinita();

// "Solo i non Richiamati" when the stored selection reads as 0, "Tutti i Titoli (Ultimi 3 Numeri)"
// otherwise.
QString testoQualiTitoli(const QString& stored);

// Reads the exchange's keys in order (folder, name, then the title selection) and applies the defaults:
// a folder or name that is blank gives the default; a non-blank one is kept exactly as stored.
ImpostazioniScambio leggiImpostazioni(Pannello exchange);

// Writes back the folder, then the name, so that the defaults shown become stored values. The title
// selection is never written here.
void scriviImpostazioni(Pannello exchange, const ImpostazioniScambio& settings);
