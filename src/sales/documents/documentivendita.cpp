#include "sales/documents/documentivendita.h"

#include "sales/documents/salvataggiovendite.h"
#include "services/failure.h"
#include "services/regional.h"
#include "store/archiviovendite.h"
#include "store/conflittostore.h"
#include "store/servizidocumento.h"
#include "store/storevalues.h"

#include <optional>
#include <vector>

namespace {
// The store's document type for these sales, their supplier, the movement cause of every row.
constexpr qint32 kTipoDocumento = 7;
constexpr qint32 kFornitore = 1;
constexpr qint32 kCausaleMovimento = 21;
const QString kNote = QStringLiteral("Vendita Importato da 'Kioskar'");
// How many times a sale is made in all when another writer of the store gets in its way.
constexpr int kTentativi = 3;

// An amount as the general number format writes it and reads back: 15 significant digits.
double quindiciCifre(double value)
{
    return numeroDaTesto(NumeroInTesto(value));
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

class CreatoreDocumenti
{
public:
    explicit CreatoreDocumenti(ConnessioneStore& connection) : m_archivio(connection), m_servizi(connection)
    {
    }

    // The sale's document with everything it changes, written in the sale's unit of work (not saved
    // yet); nothing when the sale has no pending row left.
    std::optional<TestataDocumento> crea(const QVariant& idVendita, SalvataggioVendite& unit);

private:
    // The document row of a staged row, its amounts added to the header's totals.
    RigaDocumento riga(const RigaInSospeso& staged, TestataDocumento& header, SalvataggioVendite& unit);
    void datiTestata(TestataDocumento& header, const RigaInSospeso& last) const;

    // A service call. One that fell back on a failure must have left the sale's unit of work open; when
    // the store undid it because another writer got in the way, the sale may be tried again.
    template <typename F> auto servizio(SalvataggioVendite& unit, F&& call)
    {
        const int failures = m_servizi.fallimenti();
        auto result = call();
        if (m_servizi.fallimenti() == failures) return result;
        try {
            unit.verificaAttiva();
        } catch (const Failure& failure) {
            // The service's own failure says why the store undid the sale.
            const QString why = failure.description() + QStringLiteral(": ") + m_servizi.ultimoFallimento();
            if (m_servizi.ultimoFallimentoConflitto()) throw ConflittoStore(failure.number(), why);
            throw Failure(failure.number(), why);
        }
        return result;
    }

    ArchivioVendite m_archivio;
    ServiziDocumento m_servizi;
};

// The constants of the header, and its date: that of the sale's last row with its time; none when the
// staged date cannot be read.
void CreatoreDocumenti::datiTestata(TestataDocumento& header, const RigaInSospeso& last) const
{
    header.idFornitore = kFornitore;
    header.idTipoDocumento = kTipoDocumento;
    header.note = kNote;
    if (const auto day = dataDelValore(last.data)) {
        header.giorno = day->data;
        header.ora = oraLetta(last.ora);
    }
}

RigaDocumento CreatoreDocumenti::riga(const RigaInSospeso& staged, TestataDocumento& header,
                                      SalvataggioVendite& unit)
{
    auto call = [&](auto&& body) { return servizio(unit, body); };
    RigaDocumento row;
    row.idUscita = staged.idUscita;
    row.causaleMovimento = kCausaleMovimento;
    row.idDocumento = header.idDocumento;
    row.quantita = staged.quantita;
    row.descrizione = call([&] { return m_servizi.DescrizioneUscita(staged.idUscita); });
    const qint32 codiceIva = call([&] { return m_servizi.CodiceIvaUscita(staged.idUscita); });
    row.iva = call([&] { return m_servizi.AliquotaIva(codiceIva); });
    row.prezzoNetto = numeroDaTesto(call([&] { return m_servizi.PrezzoNettoUscita(staged.idUscita); }));
    const double extra = numeroDaTesto(call([&] { return m_servizi.PrezzoExtraUscita(staged.idUscita); }));
    row.prezzoCopertina = extra != 0 ? extra : staged.prezzo;
    row.um = call([&] { return m_servizi.UnitaMisuraUscita(staged.idUscita, false); });

    // The amounts come from the prices as the row holds them.
    using Colonna = ArchivioVendite::ColonnaImporto;
    const double netto =
        quindiciCifre(m_archivio.comeNellaRiga(Colonna::PrezzoNetto, row.prezzoNetto) * staged.quantita);
    const double ivaRiga = quindiciCifre(row.iva * netto / 100);
    const double copertina = quindiciCifre(
        m_archivio.comeNellaRiga(Colonna::PrezzoCopertina, row.prezzoCopertina) * staged.quantita);
    header.totaleBolla = quindiciCifre(header.totaleBolla + copertina);
    if (row.iva > 0) {
        header.totaleImponibile = quindiciCifre(header.totaleImponibile + netto);
        header.totaleIva = quindiciCifre(header.totaleIva + ivaRiga);
    }
    return row;
}

std::optional<TestataDocumento> CreatoreDocumenti::crea(const QVariant& idVendita, SalvataggioVendite& unit)
{
    auto call = [&](auto&& body) { return servizio(unit, body); };

    TestataDocumento header;
    header.descrizione = call([&] { return m_servizi.DescrizioneTipoDocumento(kTipoDocumento); });
    header.idDocumento = call([&] { return m_servizi.IncrementaContatore(QStringLiteral("IDDocumento")); });
    const QString counterName = call([&] { return m_servizi.ContatoreTipoDocumento(kTipoDocumento); });
    header.numero = call([&] { return m_servizi.IncrementaContatore(counterName); });

    const std::vector<RigaInSospeso> rows = m_archivio.righeInSospeso(idVendita);
    if (rows.empty()) return std::nullopt; // taken meanwhile
    QList<qint32> issues;
    for (const RigaInSospeso& staged : rows)
        issues << staged.idUscita;
    call([&] { return m_servizi.ricordaUscite(issues); });
    const QList<qint32> idRighe = call(
        [&] { return m_servizi.IncrementaContatore(QStringLiteral("IDDocumentoRiga"), int(rows.size())); });

    // The sale's unit of work holds its new document: after the first row's number, asked of the store,
    // no one else can number rows of it, and the rows are written together once all are made.
    const double firstNumber =
        numeroDaTesto(call([&] { return m_servizi.ProssimoNumeroRiga(header.idDocumento); }));
    std::vector<RigaDocumento> documentRows;
    QList<ServiziDocumento::Scarico> stock;
    for (size_t i = 0; i < rows.size(); ++i) {
        documentRows.push_back(riga(rows[i], header, unit));
        documentRows.back().idDocumentoRiga = idRighe.at(qsizetype(i));
        documentRows.back().numeroRiga = firstNumber + double(i);
        stock << ServiziDocumento::Scarico{rows[i].idUscita, float(rows[i].quantita)};
    }
    m_archivio.scriviRighe(documentRows);
    call([&] { return m_servizi.ScaricaGiacenze(stock); });

    // A store that does not count (-1) is taken at its word that the statement ran.
    const int marked = m_archivio.segnaElaborate(idVendita);
    if (marked >= 0 && marked != int(rows.size()))
        throw Failure(FailureCode::Database,
                      QStringLiteral("Vendita %1: %2 righe lette, %3 segnate come elaborate")
                          .arg(idVendita.toString())
                          .arg(rows.size())
                          .arg(marked));
    datiTestata(header, rows.back());
    m_archivio.scriviTestata(header);
    return header;
}

// The sale made into its document and saved: false when it had nothing left to make. Another writer
// that gets in its way undoes it; it is then made again, up to kTentativi times in all.
bool documentaVendita(CreatoreDocumenti& creator, SalvataggioVendite& unit, const QVariant& idVendita)
{
    for (int attempt = 1;; ++attempt) {
        unit.inizia();
        try {
            const std::optional<TestataDocumento> document = creator.crea(idVendita, unit);
            if (!document) {
                unit.scarta(); // the counters it advanced go back
                return false;
            }
            unit.conferma(
                {QStringLiteral("Creato Documento con ID = ") + QString::number(document->idDocumento),
                 QStringLiteral("Tot € = ") + NumeroInTesto(document->totaleBolla)});
            return true;
        } catch (const ConflittoStore&) {
            unit.annulla();
            if (attempt >= kTentativi) throw;
        } catch (...) {
            unit.annulla();
            throw;
        }
    }
}
} // namespace

int creaDocumentiVendita(ConnessioneStore& connection, const ScriviLogVendite& scriviLog,
                         const std::function<void()>& lasciaPassareEventi)
{
    SalvataggioVendite unit(connection, scriviLog, lasciaPassareEventi);
    const QList<QVariant> sales = ArchivioVendite(connection).venditeInSospeso();
    CreatoreDocumenti creator(connection);
    int documents = 0;
    for (const QVariant& idVendita : sales)
        if (documentaVendita(creator, unit, idVendita)) ++documents;
    unit.chiudi();
    return documents;
}
