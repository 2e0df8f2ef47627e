#include "services/exactnumber.h"
#include "services/failure.h"
#include "store/connessionestore.h"
#include "store/servizidocumentointerni.h"
#include "store/storerow.h"

// The lookups of an issue's data (description, VAT, prices, unit) and what is kept of them.

namespace {
// The issue's description, net price and units are read from the view, its VAT code and extra price
// from the table; the identifier is bound to the "?".
const QString kVistaUscita = QStringLiteral("SELECT * FROM vUscite WHERE IDUscita = ?");
const QString kUscita = QStringLiteral("SELECT * From Uscite WHERE IDUscita = ?");
// The same rows for kPerIstruzione issues at once (of Uscite, only the columns its lookups read).
const QString kVisteUscite = QStringLiteral("SELECT * FROM vUscite WHERE IDUscita IN (%1)")
                                 .arg(servizi::segnaposti(servizi::kPerIstruzione));
const QString kUscite =
    QStringLiteral("SELECT IDUscita, IDIva, PrezzoVenditaExtra From Uscite WHERE IDUscita IN (%1)")
        .arg(servizi::segnaposti(servizi::kPerIstruzione));
const QString kIva = QStringLiteral("SELECT * FROM IVA WHERE IDIVA = ?");

// Blanks around the text go; other white space stays, as the title was typed.
QString senzaSpazi(const QString& text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}
} // namespace

using namespace servizi;

// What is kept of the issues is bounded: a long run over many issues would otherwise grow with every
// issue it meets. Past the bound everything kept of the issues is let go, and read again when asked.
void ServiziDocumento::limitaUscite(int added)
{
    if (m_issues.size() + m_issueViews.size() + added <= 2 * kUsciteRicordate) return;
    m_issues.clear();
    m_issueViews.clear();
    m_descriptions.clear();
    m_netPrices.clear();
    m_extraPrices.clear();
    m_salesUnits.clear();
    m_purchaseUnits.clear();
    m_vatCodesOfIssues.clear();
}

bool ServiziDocumento::ricordaUscite(const QList<qint32>& idUscite)
{
    QList<qint32> missing;
    for (const qint32 id : idUscite)
        if ((!m_issues.contains(id) || !m_issueViews.contains(id)) && !missing.contains(id)) missing << id;
    if (missing.isEmpty()) return true;
    limitaUscite(2 * int(missing.size()));
    return protetto<bool>(false, [&] {
        for (qsizetype from = 0; from < missing.size(); from += kPerIstruzione) {
            const QList<qint32> some = missing.mid(from, kPerIstruzione);
            leggiUscite(kUscite, some, m_issues);
            leggiUscite(kVisteUscite, some, m_issueViews);
        }
        return true;
    });
}

// The first row of each issue, as the lookup of that issue alone would give it; nothing for an issue
// without one. One statement of kPerIstruzione places, the last issue repeated in the places left.
void ServiziDocumento::leggiUscite(const QString& sql, const QList<qint32>& ids, QHash<qint32, Riga>& memo)
{
    QVariantList values;
    for (int i = 0; i < kPerIstruzione; ++i)
        values << ids.at(qMin<qsizetype>(i, ids.size() - 1));
    QSqlQuery& query = m_connection.eseguiRicordata(sql, values);
    QHash<qint32, Riga> found;
    int idColumn = -1;
    while (rigaSuccessiva(query)) {
        if (idColumn < 0) idColumn = query.record().indexOf(QStringLiteral("IDUscita"));
        if (idColumn < 0)
            throw Failure(FailureCode::Database, QStringLiteral("Colonna IDUscita non trovata"));
        const qint32 id = qint32(query.value(idColumn).toLongLong());
        if (!found.contains(id)) found.insert(id, query.record());
    }
    query.finish();
    for (const qint32 id : ids)
        if (!memo.contains(id)) memo.insert(id, found.value(id));
}

const ServiziDocumento::Riga& ServiziDocumento::rigaUscita(qint32 idUscita)
{
    if (!m_issues.contains(idUscita)) {
        limitaUscite();
        m_issues.insert(idUscita, primaRiga(kUscita, {idUscita}));
    }
    return m_issues[idUscita];
}

const ServiziDocumento::Riga& ServiziDocumento::rigaVistaUscita(qint32 idUscita)
{
    if (!m_issueViews.contains(idUscita)) {
        limitaUscite();
        m_issueViews.insert(idUscita, primaRiga(kVistaUscita, {idUscita}));
    }
    return m_issueViews[idUscita];
}

QString ServiziDocumento::DescrizioneUscita(qint32 idUscita)
{
    return ricordato(m_descriptions, idUscita, QString(), [&] {
        const Riga& row = rigaVistaUscita(idUscita);
        if (!row) return QString();
        const QVariant type = campo(*row, QStringLiteral("IDTipoProdotto"));
        const QVariant title = campo(*row, QStringLiteral("Testata"));
        bool withNumber = false;
        if (!type.isNull()) {
            const auto number = NumeroEsatto::daValore(type);
            if (!number)
                throw Failure(FailureCode::TypeMismatch, QStringLiteral("IDTipoProdotto non è un numero"));
            const double value = number->testo().toDouble();
            withNumber = (value >= 1 && value <= 7) || value == 9;
        }
        if (withNumber)
            return (senzaSpazi(title.toString()) + QStringLiteral(" N.") +
                    campo(*row, QStringLiteral("NumeroCopertina")).toString())
                .left(50);
        return senzaSpazi(nonNullo(title, QStringLiteral("Testata")).toString()).left(80);
    });
}

qint32 ServiziDocumento::CodiceIvaUscita(qint32 idUscita)
{
    return ricordato(m_vatCodesOfIssues, idUscita, qint32(0), [&] {
        const Riga& row = rigaUscita(idUscita);
        if (!row) return 0;
        const QVariant code = campo(*row, QStringLiteral("IDIva"));
        return code.isNull() ? 1 : intero32(code, QStringLiteral("IDIva"));
    });
}

qint32 ServiziDocumento::AliquotaIva(qint32 codiceIva)
{
    return ricordato(m_rates, codiceIva, qint32(0), [&] {
        if (!m_vatCodes.contains(codiceIva)) m_vatCodes.insert(codiceIva, primaRiga(kIva, {codiceIva}));
        const Riga& row = m_vatCodes[codiceIva];
        return row ? intero32(campo(*row, QStringLiteral("Aliquota")), QStringLiteral("Aliquota")) : 0;
    });
}

QString ServiziDocumento::PrezzoNettoUscita(qint32 idUscita)
{
    return ricordato(m_netPrices, idUscita, QString(), [&] {
        const Riga& row = rigaVistaUscita(idUscita);
        if (!row) return QStringLiteral("0");
        const QVariant price = campo(*row, QStringLiteral("PrezzoNetto"));
        return testoNumero(nonNullo(price, QStringLiteral("PrezzoNetto")));
    });
}

QString ServiziDocumento::PrezzoExtraUscita(qint32 idUscita)
{
    return ricordato(m_extraPrices, idUscita, QString(), [&] {
        const Riga& row = rigaUscita(idUscita);
        if (!row) return QStringLiteral("0");
        const QVariant price = campo(*row, QStringLiteral("PrezzoVenditaExtra"));
        return price.isNull() ? QStringLiteral("0") : testoNumero(price);
    });
}

QString ServiziDocumento::UnitaMisuraUscita(qint32 idUscita, bool unitaAcquisto)
{
    return ricordato(unitaAcquisto ? m_purchaseUnits : m_salesUnits, idUscita, QString(), [&] {
        const Riga& row = rigaVistaUscita(idUscita);
        if (!row) return QString();
        const QString column = unitaAcquisto ? QStringLiteral("UmAcquisto") : QStringLiteral("UmVendita");
        return nonNullo(campo(*row, column), column).toString();
    });
}
