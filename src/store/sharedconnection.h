#pragma once

#include "services/connectionsettings.h"

#include <QString>

// ConnessioneCondivisa: one connection opened after the first successful connection test and kept until
// the program ends. Later tests never reopen it, whatever database they test. No query runs on it.

// Opens it with these settings unless it is open already; true when it is open afterwards.
bool apriConnessioneCondivisaSeChiusa(const ImpostazioniConnessione& settings, int loginTimeoutSeconds,
                                      int commandTimeoutSeconds);
bool connessioneCondivisaAperta();
// The settings it was opened with (empty when closed).
ImpostazioniConnessione impostazioniConnessioneCondivisa();
// Closes it: at the program's end (arranged by the first opening), and between tests.
void chiudiConnessioneCondivisa();
