#pragma once

#include "store/runscambio.h"

#include <QString>

#include <optional>

// Where the catalog goes, as the checks found it.
struct DestinazioneCatalogo
{
    QString cartella;      // PathDestCatalogoTotale, ending with a separator
    QString nome;          // NomeFileCatalogoTotale as stored
    QString nomeEsistente; // the existing catalog's name in the folder, "" when there is none
};

// The checks of the destination before any export work: the folder is configured and exists, the file
// name is set, the catalog would replace none of the program's own files, no other instance is exporting
// to it (the run reserves it), and an existing catalog may be overwritten (the operator is asked unless
// unattended). Each refusal is logged and told; nothing is returned then and the run aborts. An existing
// catalog is left in place here: the new one replaces it only once complete.
std::optional<DestinazioneCatalogo> controllaDestinazione(RunScambio& run);
