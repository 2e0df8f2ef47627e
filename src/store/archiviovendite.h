#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>
#include <QVariant>

#include <array>
#include <optional>

#include <vector>

class ConnessioneStore;
class SqlDialect;

// A line of the sales file as it is staged in Vendite_VT.
struct RigaDaRegistrare
{
    QString idVendita;
    QString idRiga;
    QDate data;
    QString ora;
    QString barcode;
    int quantita = 0;
    qint32 idUscita = 0;
    double prezzo = 0;
};

// A pending staged row of a sale, with the five values a document takes from it.
struct RigaInSospeso
{
    qint32 idUscita = 0;
    double quantita = 0;
    double prezzo = 0;
    QVariant data;
    QVariant ora;
};

// A row of DocumentiRighe.
struct RigaDocumento
{
    qint32 idDocumentoRiga = 0;
    double numeroRiga = 0;
    qint32 idUscita = 0;
    qint32 causaleMovimento = 0;
    qint32 idDocumento = 0;
    QString descrizione;
    qint32 iva = 0;
    double prezzoNetto = 0;
    double prezzoCopertina = 0;
    double quantita = 0; // QTA and QtaRec
    QString um;
};

// A header of Documenti; a document without a readable date gets NULL.
struct TestataDocumento
{
    qint32 idDocumento = 0;
    qint32 idFornitore = 0;
    qint32 numero = 0;
    qint32 idTipoDocumento = 0;
    QString descrizione;
    QString note;
    std::optional<QDate> giorno;
    QTime ora;
    double totaleImponibile = 0;
    double totaleIva = 0;
    double totaleBolla = 0;
};

// Every statement of the sales import on the staged sales and the documents: Vendite_VT, Documenti,
// DocumentiRighe. The runs hand over and get back plain values; both engines get the same statements
// but for the dialect's fragments. Values from the file are always bound, never written into a
// statement, so any character is stored as it is. Each method throws Failure when the store refuses or
// a read fails part-way (never taken for fewer rows).
class ArchivioVendite
{
public:
    explicit ArchivioVendite(ConnessioneStore& connection);

    // Staging checks and insert.
    bool uscitaEsiste(qint32 idUscita);
    // The one issue whose barcodeAddon is the text (letter case and trailing blanks aside); 0 when
    // none or several have it.
    qint32 uscitaDelBarcode(const QString& barcodeAddon);
    // A staged row with the same sale and row number, as the store compares text.
    bool giaRegistrata(const QString& idVendita, const QString& idRiga);
    // Staged with Elaborato "0".
    void registra(const RigaDaRegistrare& riga);

    // The sales with pending rows (Elaborato "0", IDUscita above 0), as stored.
    QList<QVariant> venditeInSospeso();
    // The sale's pending rows in the order of IDRiga.
    std::vector<RigaInSospeso> righeInSospeso(const QVariant& idVendita);
    // Writes the rows, several to a statement.
    void scriviRighe(const std::vector<RigaDocumento>& righe);
    // Marks the sale's pending rows "1"; how many were marked, -1 when the store does not say.
    int segnaElaborate(const QVariant& idVendita);
    void scriviTestata(const TestataDocumento& testata);

    // The amount columns of DocumentiRighe that a row's amounts are computed from.
    enum class ColonnaImporto { PrezzoNetto, PrezzoCopertina };
    // The value as the column holds it once written: on SQL Server a decimal or money column keeps its
    // own number of decimals (rounded half away from zero) and an integer column none (cut); the
    // embedded store keeps the value. The column types are read once.
    double comeNellaRiga(ColonnaImporto colonna, double value);

    // The text of the duplicate check, its two values bound in the order IDVendita, IDRiga.
    static QString testoDoppione(const SqlDialect& dialect);

private:
    struct Scala
    {
        int decimali = -1; // -1: the value is kept as it is
        bool tronca = false;
    };
    void leggiScale();

    ConnessioneStore& m_connection;
    // The statements whose text depends on the engine, made once.
    const QString m_barcode, m_doppione, m_righe, m_segna;
    std::optional<std::array<Scala, 2>> m_scales; // by ColonnaImporto, once read
};
