#pragma once

#include "services/rundisplay.h"

// cmdImpVendite_Click: the sales import, from its checks (connection, origin folder, file name) through
// the intake and staging of the sales file to the creation of the sales documents and the closing lines.
// With no sales file and no temporary copy left by an earlier run, it goes straight to the documents, so
// that rows staged earlier still become documents. One import at a time works on a sales folder, also
// across instances of the program: a second one waits a few seconds and then ends interrupted.
// An unattended context (AutoVendite) shows no message boxes. An unexpected failure goes to the error
// report with "(Importa Vendite)"; should the report return, the run ends interrupted with the window
// idle again.
EsitoRun importaVendite(const ContestoRun& context);
