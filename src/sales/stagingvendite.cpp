#include "sales/stagingvendite.h"

#include "services/failure.h"
#include "store/storeconnection.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {
// Reads a result to its end and lets it go: SQL Server allows no new statement on a connection while
// a result is still being read, and SQLite no commit.
int righeLette(QSqlQuery& query, QVariant* first = nullptr)
{
    int rows = 0;
    while (query.next()) {
        if (rows == 0 && first) *first = query.value(0);
        ++rows;
    }
    query.finish();
    return rows;
}

// "column = value" as the store compares text: letter case and trailing blanks aside. SQL Server's
// case-insensitive collations do that by themselves. On the embedded store the columns ignore letter case
// but not trailing blanks: a row matches when, its trailing blanks cut, it equals the value letter case
// aside, the very expression the store's index on the two columns is built on. On a store whose index is
// on the plain columns, every match lies between the value and the value followed by "!", the first
// character after the blank, a range that index serves (`ranged`).
QString condizioneTesto(Motore engine, const QString& column, QString value, bool ranged,
                        QVariantList& values)
{
    while (value.endsWith(QLatin1Char(' ')))
        value.chop(1);
    if (engine == Motore::SqlServer) {
        values << value;
        return column + QStringLiteral(" = ?");
    }
    QString sql;
    if (ranged) {
        sql = QStringLiteral("%1 >= ? AND %1 < ? AND ").arg(column);
        values << value << value + QLatin1Char('!');
    }
    values << value;
    return sql + QStringLiteral("RTRIM(%1) = ? COLLATE NOCASE").arg(column);
}
} // namespace

QueryLegata queryDoppione(Motore engine, const QString& idVendita, const QString& idRiga)
{
    // One condition after the other: the values are bound in the order of their placeholders.
    QueryLegata query{QStringLiteral("SELECT * from Vendite_VT Where "), {}};
    query.sql += condizioneTesto(engine, QStringLiteral("IDVendita"), idVendita, true, query.valori);
    query.sql += QStringLiteral(" AND ");
    query.sql += condizioneTesto(engine, QStringLiteral("IDRiga"), idRiga, false, query.valori);
    return query;
}

StagingVendite::StagingVendite(StoreConnection& connection, int righePerLotto)
    : m_connection(connection), m_perLotto(qMax(1, righePerLotto))
{
}

StagingVendite::~StagingVendite()
{
    // What is staged so far is kept, as it would be line by line; a refusal here leaves the lines to the
    // next run, which reads the temporary copy again.
    if (m_lottoAperto && !m_connection.database().commit()) m_connection.database().rollback();
}

void StagingVendite::iniziaLotto()
{
    if (m_lottoAperto) return;
    if (!m_connection.database().transaction())
        throw Failure(FailureCode::Database, m_connection.database().lastError().text());
    m_lottoAperto = true;
    m_nelLotto = 0;
}

void StagingVendite::conferma()
{
    if (!m_lottoAperto) return;
    m_lottoAperto = false;
    if (!m_connection.database().commit()) {
        const QString message = m_connection.database().lastError().text();
        m_connection.database().rollback();
        throw Failure(FailureCode::Database, message);
    }
}

void StagingVendite::prepara()
{
    if (m_preparate) return;
    // Prepared once and run for every line: preparing is a good part of the cost of a line.
    const Motore engine = m_connection.motore();
    QVariantList unused;
    m_uscita = m_connection.prepara(QStringLiteral("SELECT IDProd from Uscite Where IDUscita = ?"));
    m_barcode =
        m_connection.prepara(QStringLiteral("SELECT IDUscita from Uscite Where ") +
                             condizioneTesto(engine, QStringLiteral("barcodeAddon"), {}, true, unused));
    m_doppione = m_connection.prepara(queryDoppione(engine, {}, {}).sql);
    m_inserimento = m_connection.prepara(QStringLiteral(
        "INSERT INTO Vendite_VT (IDVendita, IDRiga, Data, Ora, Barcode, \"Quantità\", IDUscita, "
        "Prezzo, Elaborato) VALUES (?, ?, ?, ?, ?, ?, ?, ?, '0')"));
    m_preparate = true;
}

void StagingVendite::esegui(QSqlQuery& query, const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    m_connection.eseguiPreparata(query);
}

EsitoStaging StagingVendite::registra(RigaVendita& v)
{
    prepara();
    iniziaLotto();

    esegui(m_uscita, {v.idUscita});
    if (righeLette(m_uscita) == 0) v.idUscita = 0;

    // A line without barcode and add-on names no issue: it is not matched to whichever issue happens
    // to have an empty barcodeAddon.
    if (v.idUscita == 0 && !v.barcodeAddon().isEmpty()) {
        QVariantList values;
        condizioneTesto(m_connection.motore(), QStringLiteral("barcodeAddon"), v.barcodeAddon(), true,
                        values);
        esegui(m_barcode, values);
        QVariant id;
        if (righeLette(m_barcode, &id) == 1) v.idUscita = id.toInt();
    }

    esegui(m_doppione, queryDoppione(m_connection.motore(), v.idVendita, v.idRiga).valori);
    if (righeLette(m_doppione) > 0) return EsitoStaging::GiaImportata;

    esegui(m_inserimento,
           {v.idVendita, v.idRiga, v.data, v.ora, v.barcodeAddon(), int(v.quantita), v.idUscita, v.prezzo});
    m_inserimento.finish();

    if (++m_nelLotto >= m_perLotto) conferma();
    return EsitoStaging::Registrata;
}
