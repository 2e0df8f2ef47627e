#include "services/ui/accesso.h"

#include "services/errorreport.h"
#include "services/ui/frmpassword.h"
#include "services/ui/modal.h"

#include <QApplication>

namespace {
bool g_accessoConsentito = false;
}

bool AccessoConsentito()
{
    return g_accessoConsentito;
}

bool AccessoLimitato(QWidget* owner)
{
    g_accessoConsentito = false;
    try {
        FrmPassword dialog(owner ? owner : QApplication::activeWindow());
        eseguiModale(dialog);
        g_accessoConsentito = dialog.accessoConsentito();
    } catch (...) {
        g_accessoConsentito = false;
        segnalaErrore(QStringLiteral(" (AccessoLimitato) "));
    }
    return g_accessoConsentito;
}
