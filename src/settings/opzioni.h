#pragma once

#include <QString>

class QWidget;

// The three folder-and-file settings dialogs share one design; this names which one.
enum class TipoOpzioni { CatalogoTotale, Vendite, Aggiornamento };

// Shows the settings dialog of that kind modally over the owner and returns when it closes (saved or
// not). The dialog writes term.ini itself.
void mostraOpzioni(TipoOpzioni kind, QWidget* owner);
