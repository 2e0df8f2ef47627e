#include "store/servizidocumento.h"

#include "services/exactnumber.h"
#include "services/failure.h"
#include "services/numbers.h"
#include "services/regional.h"
#include "store/connessionestore.h"

#include <QSqlError>

#include <limits>

namespace {
// The lookups, the identifier bound to the "?". Both document-type reads share the first, the issue's
// description, net price and units the view's, its VAT code and extra price the table's.
const QString kTipoDocumento = QStringLiteral("SELECT * FROM TipiDocumento WHERE IDTipoDocumento = ?");
const QString kMaxNumeroRiga =
    QStringLiteral("SELECT MAX(NumeroRiga) AS MaxNumRiga FROM DocumentiRighe WHERE IDDocumento=?");
const QString kVistaUscita = QStringLiteral("SELECT * FROM vUscite WHERE IDUscita = ?");
const QString kUscita = QStringLiteral("SELECT * From Uscite WHERE IDUscita = ?");
const QString kIva = QStringLiteral("SELECT * FROM IVA WHERE IDIVA = ?");
// One statement lowers the stock, so nobody can change it between the read and the write.
const QString kScaricaGiacenza =
    QStringLiteral("UPDATE Uscite SET Giacenza = Giacenza - ? WHERE IDUscita = ?");

constexpr int kTimeoutContatore = 200;

QVariant campo(const QSqlRecord& record, const QString& name)
{
    const int index = record.indexOf(name);
    if (index < 0) throw Failure(FailureCode::Database, QStringLiteral("Colonna %1 non trovata").arg(name));
    return record.value(index);
}

QVariant nonNullo(const QVariant& value, const QString& name)
{
    if (value.isNull()) throw Failure(FailureCode::TypeMismatch, QStringLiteral("%1 è NULL").arg(name));
    return value;
}

// A stored number in the general number format; a value that is no number keeps its text.
QString testoNumero(const QVariant& value)
{
    const auto number = NumeroEsatto::daValore(value);
    if (!number) return value.toString();
    return number->testo().replace(QLatin1Char('.'), QLatin1Char(','));
}

qint32 intero32(const QVariant& value, const QString& name)
{
    const auto number = NumeroEsatto::daValore(value);
    if (!number) throw Failure(FailureCode::TypeMismatch, QStringLiteral("%1 non è un numero").arg(name));
    const auto whole = number->inUnita(0); // halves to even
    if (!whole || *whole < std::numeric_limits<qint32>::min() || *whole > std::numeric_limits<qint32>::max())
        throw Failure(FailureCode::Overflow, QStringLiteral("%1 fuori intervallo").arg(name));
    return qint32(*whole);
}

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

// A whole quantity travels as an integer, so the stock keeps its exact type on either engine.
QVariant quantitaDaLegare(float quantity)
{
    const double value = quantity;
    if (value == double(qint64(value)) && value >= std::numeric_limits<qint32>::min() &&
        value <= std::numeric_limits<qint32>::max())
        return QVariant(qint32(value));
    return QVariant(value);
}
} // namespace

double numeroDaTesto(const QString& text)
{
    QString point = text;
    return leggiNumero(point.replace(QLatin1Char(','), QLatin1Char('.')));
}

ServiziDocumento::ServiziDocumento(ConnessioneStore& connection) : m_connection(connection) {}

ServiziDocumento::~ServiziDocumento() = default;

template <typename T, typename F> T ServiziDocumento::protetto(const T& fallback, F&& body)
{
    try {
        return body();
    } catch (const std::exception&) {
        ++m_failures;
        return fallback;
    }
}

// A result kept once read: the same call later gives it without asking the store again. A fallback is
// never kept.
template <typename T, typename F>
T ServiziDocumento::ricordato(QHash<qint32, T>& memo, qint32 key, const T& fallback, F&& body)
{
    const auto found = memo.constFind(key);
    if (found != memo.constEnd()) return found.value();
    return protetto<T>(fallback, [&] {
        const T value = body();
        memo.insert(key, value);
        return value;
    });
}

QSqlQuery& ServiziDocumento::preparata(const QString& sql)
{
    const auto found = m_statements.constFind(sql);
    if (found != m_statements.constEnd()) return *found.value();
    auto query = std::make_shared<QSqlQuery>(m_connection.prepara(sql));
    m_statements.insert(sql, query);
    return *query;
}

ServiziDocumento::Riga ServiziDocumento::primaRiga(const QString& sql, const QVariantList& values)
{
    QSqlQuery& query = preparata(sql);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    m_connection.eseguiPreparata(query);
    Riga row;
    if (query.next())
        row = query.record();
    else if (query.lastError().type() != QSqlError::NoError)
        throw Failure(FailureCode::Database, query.lastError().text());
    query.finish(); // no result left pending on the connection
    return row;
}

qint32 ServiziDocumento::IncrementaContatore(const QString& nomeContatore)
{
    return protetto<qint32>(0, [&] {
        if (m_connection.timeoutComandi() != kTimeoutContatore) {
            m_connection.impostaTimeoutComandi(kTimeoutContatore);
            m_statements.clear(); // prepared again, so they take the new limit
        }
        if (m_connection.motore() == Motore::Embedded) return contatoreEmbedded(nomeContatore);
        return contatoreSqlServer(nomeContatore);
    });
}

// The counters table's one-statement update, prepared once: no row (no such counter) and NULL both
// give -1.
qint32 ServiziDocumento::contatoreEmbedded(const QString& name)
{
    QSqlQuery& query = preparata(m_connection.dialetto().avanzaContatore());
    query.bindValue(0, name);
    m_connection.eseguiPreparata(query);
    QVariant value;
    if (query.next())
        value = query.value(0);
    else if (query.lastError().type() != QSqlError::NoError)
        throw Failure(FailureCode::Database, query.lastError().text());
    query.finish();
    return value.isNull() ? -1 : intero32(value, QStringLiteral("Valore"));
}

qint32 ServiziDocumento::contatoreSqlServer(const QString& name)
{
    QSqlQuery& query = preparata(m_connection.dialetto().avanzaContatore());
    query.bindValue(0, name);
    m_connection.eseguiPreparata(query);
    // The procedure may send results of its own: the value is the last result's row.
    QVariant value;
    bool found = false;
    do {
        if (!query.isSelect()) continue;
        found = false;
        while (query.next()) {
            value = query.value(0);
            found = true;
        }
        if (query.lastError().type() != QSqlError::NoError)
            throw Failure(FailureCode::Database, query.lastError().text());
    } while (query.nextResult());
    if (query.lastError().type() != QSqlError::NoError)
        throw Failure(FailureCode::Database, query.lastError().text());
    query.finish();
    if (!found) throw Failure(FailureCode::Database, QStringLiteral("Contatore_update senza valore"));
    if (value.isNull()) return -1;
    return intero32(value, QStringLiteral("@Valore"));
}

QString ServiziDocumento::DescrizioneTipoDocumento(qint32 idTipoDocumento)
{
    return protetto<QString>({}, [&] {
        if (!m_types.contains(idTipoDocumento))
            m_types.insert(idTipoDocumento, primaRiga(kTipoDocumento, {idTipoDocumento}));
        const Riga& row = m_types[idTipoDocumento];
        return row ? campo(*row, QStringLiteral("Descrizione")).toString() : QString();
    });
}

QString ServiziDocumento::ContatoreTipoDocumento(qint32 idTipoDocumento)
{
    return protetto<QString>({}, [&] {
        if (!m_types.contains(idTipoDocumento))
            m_types.insert(idTipoDocumento, primaRiga(kTipoDocumento, {idTipoDocumento}));
        const Riga& row = m_types[idTipoDocumento];
        return row ? campo(*row, QStringLiteral("NomeContatore")).toString() : QString();
    });
}

QString ServiziDocumento::ProssimoNumeroRiga(qint32 idDocumento)
{
    return protetto<QString>({}, [&] {
        const Riga row = primaRiga(kMaxNumeroRiga, {idDocumento});
        if (!row) return QString();
        const QVariant highest = campo(*row, QStringLiteral("MaxNumRiga"));
        double next = 1;
        if (!highest.isNull()) {
            const auto number = NumeroEsatto::daValore(highest);
            if (!number)
                throw Failure(FailureCode::TypeMismatch, QStringLiteral("NumeroRiga non è un numero"));
            next = number->testo().toDouble() + 1;
        }
        return NumeroInTesto(next);
    });
}

// What is kept of the issues is bounded: a long run over many issues would otherwise grow with every
// issue it meets. Past the bound everything kept of the issues is let go, and read again when asked.
void ServiziDocumento::limitaUscite()
{
    if (m_issues.size() + m_issueViews.size() < 2 * kUsciteRicordate) return;
    m_issues.clear();
    m_issueViews.clear();
    m_descriptions.clear();
    m_netPrices.clear();
    m_extraPrices.clear();
    m_salesUnits.clear();
    m_purchaseUnits.clear();
    m_vatCodesOfIssues.clear();
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

bool ServiziDocumento::ScaricaGiacenza(qint32 idUscita, float quantita)
{
    return protetto<bool>(false, [&] {
        QSqlQuery& query = preparata(kScaricaGiacenza);
        query.bindValue(0, quantitaDaLegare(quantita));
        query.bindValue(1, idUscita);
        m_connection.eseguiPreparata(query);
        const bool updated = query.numRowsAffected() > 0;
        query.finish();
        return updated;
    });
}
