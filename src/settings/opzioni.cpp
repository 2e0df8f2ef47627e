#include "settings/opzioni.h"

#include "services/ui/modal.h"
#include "settings/frmopzioni.h"

void mostraOpzioni(Pannello exchange, QWidget* owner, const QString& server)
{
    FrmOpzioni dialog(exchange, owner, server);
    dialog.carica();
    eseguiModale(dialog);
}
