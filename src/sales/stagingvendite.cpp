#include "sales/stagingvendite.h"

#include "services/failure.h"
#include "store/connessionestore.h"
#include "store/storerow.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {
// Reads a result to its end and lets it go: SQL Server allows no new statement on a connection while
// a result is still being read, and SQLite no commit. A read that fails is a Failure, never fewer rows.
int righeLette(QSqlQuery& query, QVariant* first = nullptr)
{
    int rows = 0;
    while (rigaSuccessiva(query)) {
        if (rows == 0 && first) *first = query.value(0);
        ++rows;
    }
    query.finish();
    return rows;
}

// "column = value" as the store compares text: letter case and trailing blanks aside (the store's
// dialect says how, in a form its indexes serve).
QString condizioneTesto(const SqlDialect& dialect, const QString& column, const QString& value,
                        QVariantList& values)
{
    values << value;
    return dialect.testoUguale(column);
}
} // namespace

QueryLegata queryDoppione(const SqlDialect& dialect, const QString& idVendita, const QString& idRiga)
{
    // One condition after the other: the values are bound in the order of their placeholders.
    QueryLegata query{QStringLiteral("SELECT * from Vendite_VT Where "), {}};
    query.sql += condizioneTesto(dialect, QStringLiteral("IDVendita"), idVendita, query.valori);
    query.sql += QStringLiteral(" AND ");
    query.sql += condizioneTesto(dialect, QStringLiteral("IDRiga"), idRiga, query.valori);
    return query;
}

StagingVendite::StagingVendite(ConnessioneStore& connection, int righePerLotto)
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
    const SqlDialect& dialect = m_connection.dialetto();
    QVariantList unused;
    m_uscita = m_connection.prepara(QStringLiteral("SELECT IDProd from Uscite Where IDUscita = ?"));
    m_barcode = m_connection.prepara(QStringLiteral("SELECT IDUscita from Uscite Where ") +
                                     condizioneTesto(dialect, QStringLiteral("barcodeAddon"), {}, unused));
    m_doppione = m_connection.prepara(queryDoppione(dialect, {}, {}).sql);
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
        esegui(m_barcode, {v.barcodeAddon()});
        QVariant id;
        if (righeLette(m_barcode, &id) == 1) v.idUscita = id.toInt();
    }

    esegui(m_doppione, queryDoppione(m_connection.dialetto(), v.idVendita, v.idRiga).valori);
    if (righeLette(m_doppione) > 0) return EsitoStaging::GiaImportata;

    esegui(m_inserimento,
           {v.idVendita, v.idRiga, v.data, v.ora, v.barcodeAddon(), int(v.quantita), v.idUscita, v.prezzo});
    m_inserimento.finish();

    if (++m_nelLotto >= m_perLotto) conferma();
    return EsitoStaging::Registrata;
}
