#include "store/archiviovendite.h"

#include "services/exactnumber.h"
#include "services/failure.h"
#include "store/connessionestore.h"
#include "store/storerow.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <cmath>
#include <limits>
#include <optional>

namespace {
const QString kUscita = QStringLiteral("SELECT IDProd from Uscite Where IDUscita = ?");
const QString kNuovaVendita =
    QStringLiteral("INSERT INTO Vendite_VT (IDVendita, IDRiga, Data, Ora, Barcode, \"Quantità\", IDUscita, "
                   "Prezzo, Elaborato) VALUES (?, ?, ?, ?, ?, ?, ?, ?, '0')");
const QString kVendite =
    QStringLiteral("SELECT DISTINCT IDVendita  from Vendite_VT Where Elaborato = '0' and IDUscita > 0 ");
const QString kNuovaRiga = QStringLiteral(
    "INSERT INTO DocumentiRighe (IDDocumentoRiga, NumeroRiga, IDUscita, idcausaleMovimento, IDDocumento, "
    "Descrizione, Iva, PrezzoNetto, PrezzoCopertina, Spunta, QTA, QtaRec, UM) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
// How many document rows one round trip writes at most.
constexpr size_t kRighePerIstruzione = 8;
// The text that writes n rows, at n - 1: on the embedded store one INSERT of n rows; on SQL Server n
// INSERTs of one row each, travelling together, so that a trigger of the store written for one row at
// a time sees every row.
const QStringList& nuoveRighe(Motore engine)
{
    static const auto made = [](Motore motore) {
        QStringList texts{kNuovaRiga};
        for (size_t n = 2; n <= kRighePerIstruzione; ++n)
            texts << texts.last() + (motore == Motore::SqlServer
                                         ? QStringLiteral("; ") + kNuovaRiga
                                         : QStringLiteral(", (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        return texts;
    };
    static const QStringList embedded = made(Motore::Embedded), server = made(Motore::SqlServer);
    return engine == Motore::SqlServer ? server : embedded;
}
const QString kNuovaTestata = QStringLiteral(
    "INSERT INTO Documenti (IDDocumento, IDFornitore, numero, IDTipoDocumento, Descrizione, Note, Data, "
    "TotaleImponibile, TotaleIVA, TotaleBolla, ValoreBolla, TotaleFIEG, TotaleAltri) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 0, 0)");

// A whole number travels as an integer, anything else as a double, so each column keeps its own type.
QVariant numeroDaLegare(double value)
{
    if (std::isfinite(value) && value == std::trunc(value) && std::abs(value) < 9.0e15)
        return QVariant(qlonglong(value));
    return QVariant(value);
}

// Text goes to the store as text, an empty one included: never as NULL, which a column that must hold
// a value refuses.
QString testo(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

double numeroLetto(const QVariant& value)
{
    return NumeroEsatto::letto(value).testo().toDouble();
}

qint32 idUscitaLetto(const QVariant& value)
{
    const auto number = NumeroEsatto::daValore(value);
    const auto whole = number ? number->inUnita(0) : std::nullopt;
    if (!whole || *whole < 1 || *whole > std::numeric_limits<qint32>::max())
        throw Failure(FailureCode::Overflow, QStringLiteral("IDUscita non valido: %1").arg(value.toString()));
    return qint32(*whole);
}

int colonna(const QSqlRecord& record, const QString& name)
{
    const int index = record.indexOf(name);
    if (index < 0) throw Failure(FailureCode::Database, QStringLiteral("Colonna %1 non trovata").arg(name));
    return index;
}

// How many rows a result holds, read to its end and let go: a connection serves one open result at a
// time. The first row's first value goes to `first`.
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
// The value with `decimals` places, rounded half away from zero or cut, computed on its decimal digits.
double inScala(double value, int decimals, bool cut)
{
    const auto number = NumeroEsatto::daTesto(QString::number(value, 'g', 15));
    if (!number || decimals < 0 || decimals > 15) return value;
    const QString shifted = number->assoluto().perPotenzaDiDieci(decimals).testo();
    const qsizetype dot = shifted.indexOf(QLatin1Char('.'));
    bool ok = false;
    qint64 units = shifted.left(dot < 0 ? shifted.size() : dot).toLongLong(&ok);
    if (!ok) return value;
    if (!cut && dot >= 0 && shifted.at(dot + 1) >= QLatin1Char('5')) ++units;
    const double magnitude = QString::number(units).toDouble() / std::pow(10.0, decimals);
    return number->negativo() ? -magnitude : magnitude;
}
} // namespace

ArchivioVendite::ArchivioVendite(ConnessioneStore& connection)
    : m_connection(connection), m_barcode(QStringLiteral("SELECT IDUscita from Uscite Where ") +
                                          connection.dialetto().testoUguale(QStringLiteral("barcodeAddon"))),
      m_doppione(testoDoppione(connection.dialetto())),
      // The sale is named as its index is built: "IDVendita = ?" alone would read the whole table on
      // the embedded store for every sale.
      m_righe(QStringLiteral("SELECT IDUscita, \"Quantità\", Prezzo, Data, Ora from Vendite_VT Where "
                             "Elaborato = '0' and IDUscita > 0 and ") +
              connection.dialetto().testoUguale(QStringLiteral("IDVendita")) +
              QStringLiteral(" order by IDRiga")),
      // The same rows as m_righe: within the sale's unit of work exactly the rows just made into its
      // document. The embedded store's planner is kept off the index of Elaborato (every pending row of
      // the table) and on the index of the sale.
      m_segna(QStringLiteral("UPDATE Vendite_VT SET Elaborato = '1' WHERE ") +
              connection.dialetto().senzaIndice(QStringLiteral("Elaborato")) +
              QStringLiteral(" = '0' and IDUscita > 0 and ") +
              connection.dialetto().testoUguale(QStringLiteral("IDVendita")))
{
}

QString ArchivioVendite::testoDoppione(const SqlDialect& dialect)
{
    return QStringLiteral("SELECT * from Vendite_VT Where ") +
           dialect.testoUguale(QStringLiteral("IDVendita")) + QStringLiteral(" AND ") +
           dialect.testoUguale(QStringLiteral("IDRiga"));
}

bool ArchivioVendite::uscitaEsiste(qint32 idUscita)
{
    return righeLette(m_connection.eseguiRicordata(kUscita, {idUscita})) > 0;
}

qint32 ArchivioVendite::uscitaDelBarcode(const QString& barcodeAddon)
{
    QVariant id;
    return righeLette(m_connection.eseguiRicordata(m_barcode, {barcodeAddon}), &id) == 1 ? id.toInt() : 0;
}

bool ArchivioVendite::giaRegistrata(const QString& idVendita, const QString& idRiga)
{
    return righeLette(m_connection.eseguiRicordata(m_doppione, {idVendita, idRiga})) > 0;
}

void ArchivioVendite::registra(const RigaDaRegistrare& r)
{
    m_connection.scrivi(kNuovaVendita, {testo(r.idVendita), testo(r.idRiga), r.data, testo(r.ora),
                                        testo(r.barcode), r.quantita, r.idUscita, r.prezzo});
}

QList<QVariant> ArchivioVendite::venditeInSospeso()
{
    // The whole list first: the connection then serves one statement at a time.
    QList<QVariant> sales;
    QSqlQuery query = m_connection.esegui(kVendite);
    while (rigaSuccessiva(query))
        sales << query.value(0);
    return sales;
}

std::vector<RigaInSospeso> ArchivioVendite::righeInSospeso(const QVariant& idVendita)
{
    QSqlQuery& query = m_connection.eseguiRicordata(m_righe, {idVendita});
    const QSqlRecord record = query.record();
    const int uscita = colonna(record, QStringLiteral("IDUscita"));
    const int quantita = colonna(record, QStringLiteral("Quantità"));
    const int prezzo = colonna(record, QStringLiteral("Prezzo"));
    const int data = colonna(record, QStringLiteral("Data"));
    const int ora = colonna(record, QStringLiteral("Ora"));
    std::vector<RigaInSospeso> rows;
    while (rigaSuccessiva(query))
        rows.push_back({idUscitaLetto(query.value(uscita)), numeroLetto(query.value(quantita)),
                        numeroLetto(query.value(prezzo)), query.value(data), query.value(ora)});
    query.finish();
    return rows;
}

void ArchivioVendite::scriviRighe(const std::vector<RigaDocumento>& righe)
{
    for (size_t from = 0; from < righe.size(); from += kRighePerIstruzione) {
        const size_t count = std::min(kRighePerIstruzione, righe.size() - from);
        QVariantList values;
        for (size_t i = from; i < from + count; ++i) {
            const RigaDocumento& r = righe[i];
            values << r.idDocumentoRiga << numeroDaLegare(r.numeroRiga) << r.idUscita << r.causaleMovimento
                   << r.idDocumento << testo(r.descrizione) << r.iva << numeroDaLegare(r.prezzoNetto)
                   << numeroDaLegare(r.prezzoCopertina) << false << numeroDaLegare(r.quantita)
                   << numeroDaLegare(r.quantita) << testo(r.um);
        }
        m_connection.scrivi(nuoveRighe(m_connection.motore()).at(qsizetype(count - 1)), values);
    }
}

int ArchivioVendite::segnaElaborate(const QVariant& idVendita)
{
    return m_connection.scrivi(m_segna, {idVendita});
}

void ArchivioVendite::scriviTestata(const TestataDocumento& t)
{
    const QVariant data = t.giorno ? m_connection.dialetto().valoreMomento(*t.giorno, t.ora)
                                   : QVariant(QMetaType(QMetaType::QDateTime));
    m_connection.scrivi(kNuovaTestata,
                        {t.idDocumento, t.idFornitore, t.numero, t.idTipoDocumento, testo(t.descrizione),
                         testo(t.note), data, numeroDaLegare(t.totaleImponibile), numeroDaLegare(t.totaleIva),
                         numeroDaLegare(t.totaleBolla)});
}

void ArchivioVendite::leggiScale()
{
    std::array<Scala, 2> scales{};
    if (m_connection.motore() == Motore::SqlServer) {
        QSqlQuery query = m_connection.esegui(m_connection.dialetto().selectTop(
            0, QStringLiteral("PrezzoNetto, PrezzoCopertina FROM DocumentiRighe")));
        const QSqlRecord record = query.record();
        for (int i = 0; i < 2 && i < record.count(); ++i) {
            const QSqlField field = record.field(i);
            switch (field.typeID()) {
            case SQL_DECIMAL:
            case SQL_NUMERIC:
                scales[size_t(i)] = {field.precision(), false};
                break;
            case SQL_INTEGER:
            case SQL_SMALLINT:
            case SQL_TINYINT:
            case SQL_BIGINT:
                scales[size_t(i)] = {0, true};
                break;
            default: // float, real: the value itself
                break;
            }
        }
        query.finish();
    }
    m_scales = scales;
}

double ArchivioVendite::comeNellaRiga(ColonnaImporto colonna, double value)
{
    if (!m_scales) leggiScale();
    const Scala& scale = m_scales->at(size_t(colonna));
    return scale.decimali < 0 ? value : inScala(value, scale.decimali, scale.tronca);
}
