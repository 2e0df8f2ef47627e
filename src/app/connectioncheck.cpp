#include "app/connectioncheck.h"

#include "app/waitcursor.h"
#include "services/ui/modal.h"
#include "store/connectiontest.h"

#include <QApplication>

namespace {
void lasciaPassareEventi()
{
    QApplication::processEvents();
}
} // namespace

bool verificaConnessione(const ImpostazioniConnessione& settings)
{
    const CursoreAttesa wait;
    return ConnettiDatabase(settings, lasciaPassareEventi);
}

bool verificaServer(const ImpostazioniConnessione& settings, QWidget* owner)
{
    return ConnettiMaster(settings, lasciaPassareEventi, [owner](const QString& text) {
        mostraMessaggio(owner, QMessageBox::Critical, QStringLiteral("Attenzione"), text, QMessageBox::Ok);
    });
}
