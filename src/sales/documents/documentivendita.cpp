#include "sales/documents/documentivendita.h"

#include "sales/documents/salvataggiovendite.h"
#include "services/exactnumber.h"
#include "services/failure.h"
#include "services/regional.h"
#include "store/connessionestore.h"
#include "store/servizidocumento.h"
#include "store/storevalues.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlRecord>
#include <QTimeZone>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace {
// The store's document type for these sales, their supplier, the movement cause of every row.
constexpr qint32 kTipoDocumento = 7;
constexpr qint32 kFornitore = 1;
constexpr qint32 kCausaleMovimento = 21;
const QString kNote = QStringLiteral("Vendita Importato da 'Kioskar'");

const QString kVendite =
    QStringLiteral("SELECT DISTINCT IDVendita  from Vendite_VT Where Elaborato = '0' and IDUscita > 0 ");
const QString kRigheVendita = QStringLiteral(
    "SELECT *  from Vendite_VT Where Elaborato = '0' and IDUscita > 0 and IDVendita = ? order by IDRiga");
// The embedded store names the sale as its index of sales is built, trailing blanks and letter case
// aside as SQL Server compares text: "IDVendita = ?" would read the whole table for every sale. It reads
// only the five columns a document takes from a staged row.
const QString kRigheVenditaEmbedded =
    QStringLiteral("SELECT IDUscita, \"Quantità\", Prezzo, Data, Ora from Vendite_VT Where Elaborato = '0' "
                   "and IDUscita > 0 and rtrim(IDVendita) COLLATE NOCASE = rtrim(?) order by IDRiga");
// The same rows as the read above: within the sale's transaction they are exactly the rows just made
// into the document, which the count of marked rows confirms. SQLite would look them up through the
// index of Elaborato, every pending row of the table, unless "+" keeps it to the index of the sale.
const QString kSegnaElaborate = QStringLiteral(
    "UPDATE Vendite_VT SET Elaborato = '1' WHERE Elaborato = '0' and IDUscita > 0 and IDVendita = ?");
const QString kSegnaElaborateEmbedded =
    QStringLiteral("UPDATE Vendite_VT SET Elaborato = '1' WHERE +Elaborato = '0' and IDUscita > 0 and "
                   "rtrim(IDVendita) COLLATE NOCASE = rtrim(?)");
const QString kNuovaRiga = QStringLiteral(
    "INSERT INTO DocumentiRighe (IDDocumentoRiga, NumeroRiga, IDUscita, idcausaleMovimento, IDDocumento, "
    "Descrizione, Iva, PrezzoNetto, PrezzoCopertina, Spunta, QTA, QtaRec, UM) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
const QString kAltraRiga = QStringLiteral(", (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
// How many document rows one statement writes at most.
constexpr int kRighePerIstruzione = 8;
const QString kNuovaTestata = QStringLiteral(
    "INSERT INTO Documenti (IDDocumento, IDFornitore, numero, IDTipoDocumento, Descrizione, Note, Data, "
    "TotaleImponibile, TotaleIVA, TotaleBolla, ValoreBolla, TotaleFIEG, TotaleAltri) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");

// One staged row of a sale, as read.
struct RigaVendita
{
    qint32 idUscita = 0;
    double quantita = 0;
    double prezzo = 0;
    QVariant data;
    QVariant ora;
};

struct Documento
{
    qint32 id = 0;
    double totaleBolla = 0;
};

// An amount as the general number format writes it and reads back: 15 significant digits.
double quindiciCifre(double value)
{
    return numeroDaTesto(NumeroInTesto(value));
}

// A whole number is written as an integer, anything else as a double.
QVariant numeroDaLegare(double value)
{
    if (std::isfinite(value) && value == std::trunc(value) && std::abs(value) < 9.0e15)
        return QVariant(qlonglong(value));
    return QVariant(value);
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

// The staged time of day, "hh:mm" (seconds allowed); midnight when there is none to read.
QTime oraLetta(const QVariant& value)
{
    const QString text = value.toString().trimmed();
    for (const QString& format : {QStringLiteral("H:mm"), QStringLiteral("H:mm:ss")}) {
        const QTime time = QTime::fromString(text, format);
        if (time.isValid()) return time;
    }
    return QTime(0, 0);
}

int colonna(const QSqlRecord& record, const QString& name)
{
    const int index = record.indexOf(name);
    if (index < 0) throw Failure(FailureCode::Database, QStringLiteral("Colonna %1 non trovata").arg(name));
    return index;
}

void verificaLettura(const QSqlQuery& query)
{
    if (query.lastError().type() != QSqlError::NoError)
        throw Failure(FailureCode::Database, query.lastError().text());
}

class CreatoreDocumenti
{
public:
    explicit CreatoreDocumenti(ConnessioneStore& connection) : m_connection(connection), m_servizi(connection)
    {
    }

    // The sale's document with everything it changes, written in the sale's unit of work (not saved
    // yet); nothing when the sale has no pending row left.
    std::optional<Documento> crea(const QVariant& idVendita, SalvataggioVendite& unit);

private:
    QSqlQuery& istruzione(std::optional<QSqlQuery>& slot, const QString& sql)
    {
        if (!slot) slot = m_connection.prepara(sql);
        return *slot;
    }
    std::vector<RigaVendita> leggiRighe(const QVariant& idVendita);
    void scriviRighe(std::vector<QVariantList>& rows);
    QVariant dataDocumento(const RigaVendita& last) const;

    // A service call; one that fell back on a failure must have left the sale's unit of work open.
    template <typename F> auto servizio(SalvataggioVendite& unit, F&& call)
    {
        const int failures = m_servizi.fallimenti();
        auto result = call();
        if (m_servizi.fallimenti() != failures) unit.verificaAttiva();
        return result;
    }

    ConnessioneStore& m_connection;
    ServiziDocumento m_servizi;
    std::optional<QSqlQuery> m_rowsQuery, m_markQuery, m_headerInsert;
    std::array<std::optional<QSqlQuery>, kRighePerIstruzione> m_rowInserts; // by number of rows - 1
};

std::vector<RigaVendita> CreatoreDocumenti::leggiRighe(const QVariant& idVendita)
{
    QSqlQuery& query = istruzione(
        m_rowsQuery, m_connection.motore() == Motore::Embedded ? kRigheVenditaEmbedded : kRigheVendita);
    query.bindValue(0, idVendita);
    m_connection.eseguiPreparata(query);
    const QSqlRecord record = query.record();
    const int uscita = colonna(record, QStringLiteral("IDUscita"));
    const int quantita = colonna(record, QStringLiteral("Quantità"));
    const int prezzo = colonna(record, QStringLiteral("Prezzo"));
    const int data = colonna(record, QStringLiteral("Data"));
    const int ora = colonna(record, QStringLiteral("Ora"));
    std::vector<RigaVendita> rows;
    while (query.next())
        rows.push_back({idUscitaLetto(query.value(uscita)), numeroLetto(query.value(quantita)),
                        numeroLetto(query.value(prezzo)), query.value(data), query.value(ora)});
    verificaLettura(query);
    query.finish();
    return rows;
}

// Writes the rows given, as many to a statement as it takes, and empties the list.
void CreatoreDocumenti::scriviRighe(std::vector<QVariantList>& rows)
{
    for (size_t from = 0; from < rows.size(); from += kRighePerIstruzione) {
        const size_t count = std::min<size_t>(kRighePerIstruzione, rows.size() - from);
        std::optional<QSqlQuery>& slot = m_rowInserts.at(count - 1);
        if (!slot) slot = m_connection.prepara(kNuovaRiga + kAltraRiga.repeated(qsizetype(count - 1)));
        QSqlQuery& insert = *slot;
        int place = 0;
        for (size_t row = from; row < from + count; ++row)
            for (const QVariant& value : rows[row])
                insert.bindValue(place++, value);
        m_connection.eseguiPreparata(insert);
        insert.finish();
    }
    rows.clear();
}

// The date of the sale's last row with its time: a date-and-time value on SQL Server, the store's ISO
// text on the embedded store; NULL when the staged date cannot be read.
QVariant CreatoreDocumenti::dataDocumento(const RigaVendita& last) const
{
    const auto day = dataDelValore(last.data);
    if (!day) return QVariant(QMetaType(QMetaType::QDateTime));
    const QTime time = oraLetta(last.ora);
    if (m_connection.motore() == Motore::Embedded)
        return day->data.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') +
               time.toString(QStringLiteral("HH:mm:ss"));
    // Wall-clock fields as staged: no time zone may move them (a daylight-saving gap, for one).
    return QDateTime(day->data, time, QTimeZone::utc());
}

std::optional<Documento> CreatoreDocumenti::crea(const QVariant& idVendita, SalvataggioVendite& unit)
{
    auto call = [&](auto&& body) { return servizio(unit, body); };

    const QString descrizione = call([&] { return m_servizi.DescrizioneTipoDocumento(kTipoDocumento); });
    Documento document;
    document.id = call([&] { return m_servizi.IncrementaContatore(QStringLiteral("IDDocumento")); });
    const QString counterName = call([&] { return m_servizi.ContatoreTipoDocumento(kTipoDocumento); });
    const qint32 numero = call([&] { return m_servizi.IncrementaContatore(counterName); });

    const std::vector<RigaVendita> rows = leggiRighe(idVendita);
    if (rows.empty()) return std::nullopt; // taken meanwhile
    QList<qint32> issues;
    for (const RigaVendita& staged : rows)
        issues << staged.idUscita;
    m_servizi.ricordaUscite(issues);
    const QList<qint32> idRighe = call(
        [&] { return m_servizi.IncrementaContatore(QStringLiteral("IDDocumentoRiga"), int(rows.size())); });

    // On the embedded store the sale holds the write lock: after its first row, the highest row number
    // of the document is the one it has just given, and the next is known without asking; its rows are
    // then written several to a statement. On SQL Server each row is written before the next asks.
    const bool embedded = m_connection.motore() == Motore::Embedded;
    std::optional<double> previousNumber;
    std::vector<QVariantList> unwritten;
    QList<ServiziDocumento::Scarico> stock;
    double imponibile = 0, iva = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const RigaVendita& staged = rows[i];
        const double numeroRiga = embedded && previousNumber ? *previousNumber + 1 : numeroDaTesto(call([&] {
            return m_servizi.ProssimoNumeroRiga(document.id);
        }));
        previousNumber = numeroRiga;
        const QString descrizioneRiga = call([&] { return m_servizi.DescrizioneUscita(staged.idUscita); });
        const qint32 codiceIva = call([&] { return m_servizi.CodiceIvaUscita(staged.idUscita); });
        const qint32 aliquota = call([&] { return m_servizi.AliquotaIva(codiceIva); });
        const double prezzoNetto =
            numeroDaTesto(call([&] { return m_servizi.PrezzoNettoUscita(staged.idUscita); }));
        const double extra =
            numeroDaTesto(call([&] { return m_servizi.PrezzoExtraUscita(staged.idUscita); }));
        const double prezzoCopertina = extra != 0 ? extra : staged.prezzo;
        const QString um = call([&] { return m_servizi.UnitaMisuraUscita(staged.idUscita, false); });

        unwritten.push_back({idRighe.at(qsizetype(i)), numeroDaLegare(numeroRiga), staged.idUscita,
                             kCausaleMovimento, document.id, descrizioneRiga, aliquota,
                             numeroDaLegare(prezzoNetto), numeroDaLegare(prezzoCopertina), false,
                             numeroDaLegare(staged.quantita), numeroDaLegare(staged.quantita), um});
        if (!embedded) scriviRighe(unwritten);
        stock << ServiziDocumento::Scarico{staged.idUscita, float(staged.quantita)};

        const double netto = quindiciCifre(prezzoNetto * staged.quantita);
        const double ivaRiga = quindiciCifre(aliquota * netto / 100);
        const double copertina = quindiciCifre(prezzoCopertina * staged.quantita);
        document.totaleBolla = quindiciCifre(document.totaleBolla + copertina);
        if (aliquota > 0) {
            imponibile = quindiciCifre(imponibile + netto);
            iva = quindiciCifre(iva + ivaRiga);
        }
    }
    scriviRighe(unwritten);
    call([&] { return m_servizi.ScaricaGiacenze(stock); });

    QSqlQuery& mark = istruzione(
        m_markQuery, m_connection.motore() == Motore::Embedded ? kSegnaElaborateEmbedded : kSegnaElaborate);
    mark.bindValue(0, idVendita);
    m_connection.eseguiPreparata(mark);
    const int marked = mark.numRowsAffected();
    mark.finish();
    if (marked != int(rows.size()))
        throw Failure(FailureCode::Database,
                      QStringLiteral("Vendita %1: %2 righe lette, %3 segnate come elaborate")
                          .arg(idVendita.toString())
                          .arg(rows.size())
                          .arg(marked));

    QSqlQuery& header = istruzione(m_headerInsert, kNuovaTestata);
    const QVariantList values = {document.id,
                                 kFornitore,
                                 numero,
                                 kTipoDocumento,
                                 descrizione,
                                 kNote,
                                 dataDocumento(rows.back()),
                                 numeroDaLegare(imponibile),
                                 numeroDaLegare(iva),
                                 numeroDaLegare(document.totaleBolla),
                                 0,
                                 0,
                                 0};
    for (int i = 0; i < values.size(); ++i)
        header.bindValue(i, values.at(i));
    m_connection.eseguiPreparata(header);
    header.finish();
    return document;
}
} // namespace

int creaDocumentiVendita(ConnessioneStore& connection, const ScriviLogVendite& scriviLog,
                         const std::function<void()>& lasciaPassareEventi)
{
    connection.ampliaCache(); // the sales look up issues anywhere in the store
    SalvataggioVendite unit(connection, scriviLog, lasciaPassareEventi);
    // The whole list first: the connection then serves one statement at a time.
    std::vector<QVariant> sales;
    {
        QSqlQuery query = connection.esegui(kVendite);
        while (query.next())
            sales.push_back(query.value(0));
        verificaLettura(query);
    }

    CreatoreDocumenti creator(connection);
    int documents = 0;
    for (const QVariant& idVendita : sales) {
        unit.inizia();
        try {
            const std::optional<Documento> document = creator.crea(idVendita, unit);
            if (!document) {
                unit.scarta(); // the counters it advanced go back
                continue;
            }
            unit.conferma({QStringLiteral("Creato Documento con ID = ") + QString::number(document->id),
                           QStringLiteral("Tot € = ") + NumeroInTesto(document->totaleBolla)});
            ++documents;
        } catch (...) {
            unit.annulla();
            throw;
        }
    }
    unit.chiudi();
    return documents;
}
