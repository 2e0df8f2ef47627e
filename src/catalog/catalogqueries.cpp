#include "catalog/catalogqueries.h"

#include "services/numbers.h"
#include "services/scambi.h"

namespace {
const QString kColonneUscite = QStringLiteral("IDUscita,BarcodeAddon,Addon,NumeroCopertina,DataUscita,"
                                              "PrezzoCopertinaEuroDistributore,Giacenza from Uscite "
                                              "Where IDProd = ");
const QString kFineInStock = QStringLiteral(" and Zefiro = 1 and giacenza>0");
// Two blanks before "and giacenza", as the query has always been written.
const QString kFineNonRichiamate =
    QStringLiteral(" and Zefiro = 1 and dataRRpdv1 is null and dataResa is null  and giacenza>0");

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

QueryCatalogo::QueryCatalogo(const SqlDialect& dialect, const QDate& cutOff)
    : m_dialect(dialect), m_cutOff(cutOff)
{
}

QString QueryCatalogo::titoli() const
{
    // The cut-off goes in as the dialect's unambiguous date literal, never as a regional date text, and
    // the newest issue is found and compared as a moment, never as a text.
    const QString data = m_dialect.dataDi(QStringLiteral("DataUscita"));
    return QStringLiteral("SELECT * from Prodotti as TAB1 Where Zefiro = 1 and (") +
           m_dialect.selectTop(1, data + QStringLiteral(" FROM Uscite WHERE IDProd = TAB1.IDProd ORDER BY ") +
                                      data + QStringLiteral(" DESC")) +
           QStringLiteral(") > ") + m_dialect.letteraleData(m_cutOff);
}

QString QueryCatalogo::uscite(ModoSelezione mode, bool daily) const
{
    const QString idProd = QStringLiteral("?");
    const QString newestFirst = QStringLiteral(" order by ") +
                                m_dialect.dataDi(QStringLiteral("Datauscita")) + QStringLiteral(" desc");
    if (mode == ModoSelezione::UltimeTreUscite)
        return m_dialect.selectTop(3, kColonneUscite + idProd + kFineInStock + newestFirst);
    if (daily) return m_dialect.selectTop(2, kColonneUscite + idProd + kFineInStock + newestFirst);
    return m_dialect.selectTop(10, kColonneUscite + idProd + kFineNonRichiamate + newestFirst);
}
