#pragma once

#include "services/connectionsettings.h"

// ConnettiDatabase as the main window uses it: the hourglass while the test waits, the window's
// events running meanwhile.
bool verificaConnessione(const ImpostazioniConnessione& settings);

// ConnettiMaster: a failure is told to the operator in a message box over the owner.
class QWidget;
bool verificaServer(const ImpostazioniConnessione& settings, QWidget* owner);
