#pragma once

#include "services/rundisplay.h"

// cmdCreaCatalogoTot_Click: the total catalog export, from its checks to the catalog file put in place.
// An unattended context (AutoCatalogo) shows no message boxes and answers the overwrite question Yes.
// An unexpected failure goes to the error report with "(Crea File Catalogo)"; should the report return,
// the run ends interrupted with the window idle again.
EsitoRun esportaCatalogoTotale(const ContestoRun& context);
