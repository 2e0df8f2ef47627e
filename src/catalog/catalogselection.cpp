#include "catalog/catalogselection.h"

#include "services/numbers.h"
#include "services/scambi.h"

namespace {
double lettoConSpazio(const QString& text)
{
    return leggiNumero(text + QLatin1Char(' '));
}
} // namespace

ModoSelezione modoSelezione(const QString& parameterValue)
{
    return leggeZero(parameterValue) ? ModoSelezione::NonRichiamatiEQuotidiani
                                     : ModoSelezione::UltimeTreUscite;
}

QString descrizioneModo(ModoSelezione mode)
{
    return mode == ModoSelezione::NonRichiamatiEQuotidiani
               ? QStringLiteral("Solo i Titoli non Richiamati + Quotidiani")
               : QStringLiteral("Le ultime 3 Uscite di Tutti i Titoli");
}

bool eQuotidiano(const QVariant& idTipoProdotto)
{
    return !idTipoProdotto.isNull() && lettoConSpazio(idTipoProdotto.toString()) == 2;
}

QDate dataLimiteTitoli(const QDate& today)
{
    return today.addDays(-180);
}
