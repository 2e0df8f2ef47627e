#include "settings/opzioni.h"

#include "services/ui/modal.h"
#include "settings/frmopzioni.h"

void mostraOpzioni(TipoOpzioni kind, QWidget* owner)
{
    FrmOpzioni dialog(kind, owner);
    dialog.carica();
    eseguiModale(dialog);
}
