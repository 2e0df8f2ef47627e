#include "store/servizidocumento.h"

#include "services/exactnumber.h"
#include "services/failure.h"
#include "services/numbers.h"
#include "services/regional.h"
#include "store/connessionestore.h"
#include "store/servizidocumentointerni.h"
#include "store/storerow.h"

#include <QSqlError>

#include <algorithm>
#include <limits>

namespace {
// The lookups, the identifier bound to the "?". Both document-type reads share the first.
const QString kTipoDocumento = QStringLiteral("SELECT * FROM TipiDocumento WHERE IDTipoDocumento = ?");
const QString kMaxNumeroRiga =
    QStringLiteral("SELECT MAX(NumeroRiga) AS MaxNumRiga FROM DocumentiRighe WHERE IDDocumento=?");
// The stock of 1 to kPerIstruzione issues lowered at once, by number of issues - 1; made once.
const QStringList& scaricaGiacenze()
{
    static const QStringList texts = [] {
        QStringList made;
        QString cases;
        for (int n = 1; n <= servizi::kPerIstruzione; ++n) {
            cases += QStringLiteral(" WHEN ? THEN ?");
            made << QStringLiteral("UPDATE Uscite SET Giacenza = Giacenza - CASE IDUscita%1 END "
                                   "WHERE IDUscita IN (%2)")
                        .arg(cases, servizi::segnaposti(n));
        }
        return made;
    }();
    return texts;
}

// On SQL Server every issue's stock changes in a statement of its own, so that a trigger of the store
// written for one row at a time sees each; the statements of up to kPerIstruzione issues travel together
// and count the issues they lowered. By number of issues - 1; made once.
const QStringList& testiScaricoSqlServer()
{
    static const QStringList texts = [] {
        QStringList made;
        QString updates;
        for (int n = 1; n <= servizi::kPerIstruzione; ++n) {
            updates += QStringLiteral("UPDATE Uscite SET Giacenza = Giacenza - ? WHERE IDUscita = ?; "
                                      "SET @Scaricate = @Scaricate + @@ROWCOUNT; ");
            made << QStringLiteral("DECLARE @Scaricate int; SET @Scaricate = 0; ") + updates +
                        QStringLiteral("SELECT @Scaricate AS Scaricate");
        }
        return made;
    }();
    return texts;
}

constexpr int kTimeoutContatore = 200;

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

namespace servizi {
QString segnaposti(int n)
{
    QString text = QStringLiteral("?");
    for (int i = 1; i < n; ++i)
        text += QStringLiteral(", ?");
    return text;
}

std::optional<QVariant> ultimoValore(QSqlQuery& query)
{
    std::optional<QVariant> value;
    do {
        if (!query.isSelect()) continue;
        value.reset();
        while (rigaSuccessiva(query))
            value = query.value(0);
    } while (query.nextResult());
    if (query.lastError().type() != QSqlError::NoError)
        throw Failure(FailureCode::Database, query.lastError().text());
    query.finish();
    return value;
}

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
} // namespace servizi

double numeroDaTesto(const QString& text)
{
    QString point = text;
    return leggiNumero(point.replace(QLatin1Char(','), QLatin1Char('.')));
}

using namespace servizi;

ServiziDocumento::ServiziDocumento(ConnessioneStore& connection) : m_connection(connection)
{
    m_connection.ampliaCache();
}

ServiziDocumento::~ServiziDocumento() = default;

ServiziDocumento::Riga ServiziDocumento::primaRiga(const QString& sql, const QVariantList& values)
{
    QSqlQuery& query = m_connection.eseguiRicordata(sql, values);
    Riga row;
    if (rigaSuccessiva(query)) row = query.record();
    query.finish(); // no result left pending on the connection
    return row;
}

void ServiziDocumento::limiteContatore()
{
    if (m_connection.timeoutComandi() == kTimeoutContatore) return;
    m_connection.impostaTimeoutComandi(kTimeoutContatore); // the kept statements take it too
}

qint32 ServiziDocumento::IncrementaContatore(const QString& nomeContatore)
{
    return protetto<qint32>(0, [&] {
        limiteContatore();
        if (m_connection.motore() == Motore::Embedded)
            return contatoreEmbedded(nomeContatore, 1).value_or(-1);
        return contatoreSqlServer(nomeContatore);
    });
}

QList<qint32> ServiziDocumento::IncrementaContatore(const QString& nomeContatore, int volte)
{
    QList<qint32> values;
    if (m_connection.motore() != Motore::Embedded) {
        // After a failure the sale's unit of work is undone: the calls left would run outside it.
        const int failures = m_failures;
        for (int i = 0; i < volte; ++i)
            values << (m_failures == failures ? IncrementaContatore(nomeContatore) : 0);
        return values;
    }
    if (volte < 1) return values;
    return protetto<QList<qint32>>(QList<qint32>(volte, 0), [&] {
        limiteContatore();
        const std::optional<qint32> last = contatoreEmbedded(nomeContatore, volte);
        if (!last) return QList<qint32>(volte, -1);
        for (int i = volte - 1; i >= 0; --i)
            values << qint32(qint64(*last) - i);
        return values;
    });
}

// The counters table's one-statement update, prepared once: the new value, nothing when there is no
// such counter or its value is NULL.
std::optional<qint32> ServiziDocumento::contatoreEmbedded(const QString& name, int step)
{
    QSqlQuery& query = m_connection.eseguiRicordata(m_connection.dialetto().avanzaContatore(), {step, name});
    QVariant value;
    if (rigaSuccessiva(query)) value = query.value(0);
    query.finish();
    if (value.isNull()) return std::nullopt;
    return intero32(value, QStringLiteral("Valore"));
}

qint32 ServiziDocumento::contatoreSqlServer(const QString& name)
{
    QSqlQuery& query = m_connection.eseguiRicordata(m_connection.dialetto().avanzaContatore(), {name});
    // The procedure may send results of its own: the value is the last result's row.
    const std::optional<QVariant> value = ultimoValore(query);
    if (!value) throw Failure(FailureCode::Database, QStringLiteral("Contatore_update senza valore"));
    if (value->isNull()) return -1;
    return intero32(*value, QStringLiteral("@Valore"));
}

// The document type's row, read once for both of its services.
const ServiziDocumento::Riga& ServiziDocumento::rigaTipoDocumento(qint32 idTipoDocumento)
{
    if (!m_types.contains(idTipoDocumento))
        m_types.insert(idTipoDocumento, primaRiga(kTipoDocumento, {idTipoDocumento}));
    return m_types[idTipoDocumento];
}

QString ServiziDocumento::DescrizioneTipoDocumento(qint32 idTipoDocumento)
{
    return protetto<QString>({}, [&] {
        const Riga& row = rigaTipoDocumento(idTipoDocumento);
        return row ? campo(*row, QStringLiteral("Descrizione")).toString() : QString();
    });
}

QString ServiziDocumento::ContatoreTipoDocumento(qint32 idTipoDocumento)
{
    return protetto<QString>({}, [&] {
        const Riga& row = rigaTipoDocumento(idTipoDocumento);
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

int ServiziDocumento::ScaricaGiacenze(const QList<Scarico>& scarichi)
{
    if (m_connection.motore() == Motore::SqlServer) return scaricaUnaPerIstruzione(scarichi);
    int lowered = 0;
    // Rounds of distinct issues: an issue sold on two rows is lowered in two rounds, in their order.
    QList<Scarico> left = scarichi;
    while (!left.isEmpty()) {
        QList<Scarico> round, later;
        for (const Scarico& scarico : left) {
            const bool taken = std::any_of(round.cbegin(), round.cend(), [&](const Scarico& other) {
                return other.idUscita == scarico.idUscita;
            });
            (taken || round.size() == kPerIstruzione ? later : round) << scarico;
        }
        lowered += protetto<int>(0, [&] {
            QVariantList values;
            for (const Scarico& scarico : round)
                values << scarico.idUscita << quantitaDaLegare(scarico.quantita);
            for (const Scarico& scarico : round)
                values << scarico.idUscita;
            // A store that does not count (-1) is taken at its word that the statement ran.
            const int updated = m_connection.scrivi(scaricaGiacenze().at(round.size() - 1), values);
            return updated < 0 ? int(round.size()) : updated;
        });
        left = later;
    }
    return lowered;
}

// The issues in their order, kPerIstruzione to a round trip. The first failure ends the sale's writes:
// the server has undone the sale, and what followed would be saved outside it.
int ServiziDocumento::scaricaUnaPerIstruzione(const QList<Scarico>& scarichi)
{
    int lowered = 0;
    for (qsizetype from = 0; from < scarichi.size(); from += kPerIstruzione) {
        const QList<Scarico> some = scarichi.mid(from, kPerIstruzione);
        const int failures = m_failures;
        lowered += protetto<int>(0, [&] {
            QVariantList values;
            for (const Scarico& scarico : some)
                values << quantitaDaLegare(scarico.quantita) << scarico.idUscita;
            QSqlQuery& query =
                m_connection.eseguiRicordata(testiScaricoSqlServer().at(some.size() - 1), values);
            const std::optional<QVariant> count = ultimoValore(query);
            if (!count) throw Failure(FailureCode::Database, QStringLiteral("Scaricate senza valore"));
            return intero32(*count, QStringLiteral("Scaricate"));
        });
        if (m_failures != failures) break;
    }
    return lowered;
}
