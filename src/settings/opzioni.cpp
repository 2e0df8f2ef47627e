#include "opzioni.h"

#include "frmopzioni.h"
#include "modal.h"

void mostraOpzioni(TipoOpzioni kind, QWidget* owner)
{
    FrmOpzioni dialog(kind, owner);
    dialog.carica();
    eseguiModale(dialog);
}
