#pragma once

#include "store/archiviocatalogo.h"

#include <QString>

struct ImpostazioniConnessione;

// The benchmark's floor for the catalog export, on the embedded store: one set-based statement selecting
// the same issue rows as the export picks for the mode, formatted and streamed to `outFile` the same
// way. What an export must at least cost. The records written; -1 when the store is not the embedded
// one or the file cannot be written (the reason printed on stderr).
qint64 minimoCatalogo(const ImpostazioniConnessione& settings, const QString& outFile, ModoSelezione mode);
