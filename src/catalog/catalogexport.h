#pragma once

#include "services/rundisplay.h"

// How a run ended: completed (the success end), or interrupted (a failed check, a refusal, an abort).
enum class EsitoRun { Completata, Interrotta };

// cmdCreaCatalogoTot_Click: the total catalog export, from its checks to the catalog file put in place.
// `automatico` is AutoCatalogo: no message boxes, the overwrite question answered Yes. An unexpected
// failure goes to the error report with "(Crea File Catalogo)"; should the report return, the run ends
// interrupted with the window idle again.
EsitoRun esportaCatalogoTotale(RunDisplay& display, bool automatico);
