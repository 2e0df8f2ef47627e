#pragma once

#include "services/scambi.h"

#include <QString>

class QWidget;

// Shows the settings dialog of that exchange modally over the owner and returns when it closes (saved
// or not). The dialog writes term.ini itself. `server` is the store the window connects to: a
// destination that would replace one of its files is refused.
void mostraOpzioni(Pannello exchange, QWidget* owner, const QString& server = {});
