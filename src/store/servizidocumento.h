#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QVariantList>

#include <optional>

class ConnessioneStore;
class QSqlRecord;

// The small reads and writes that the sales import makes on the store while it builds a document:
// named counters, document-type data, row numbers, an issue's description, prices, VAT and unit, its
// stock. None of them fails outward: each catches its own failure and gives back its fallback value
// (written next to each), and the caller goes on with it. Numbers given back as text are in the general
// number format (decimal comma).
//
// One instance serves one run on the run's connection; the issues are looked up anywhere in the store, so
// the connection keeps more of the store in memory. Each statement is prepared once; what cannot
// change while the run lasts (document types, VAT rates, the issues' data other than their stock) is
// read once and kept (for a bounded number of issues). Only results actually read are kept, never a
// fallback.
class ServiziDocumento
{
public:
    explicit ServiziDocumento(ConnessioneStore& connection);
    ~ServiziDocumento();
    ServiziDocumento(const ServiziDocumento&) = delete;
    ServiziDocumento& operator=(const ServiziDocumento&) = delete;

    // Advances the named counter and gives its new value; -1 when the counter gives back no value
    // (NULL, or no counter of that name on the embedded store); 0 on failure. Sets the connection's
    // command limit to 200 seconds for this and every later statement.
    qint32 IncrementaContatore(const QString& nomeContatore);
    // IncrementaContatore `volte` times over: the values in their order. On the embedded store one
    // statement advances the counter by all of them, to the same end as the single calls (the caller's
    // transaction holds the store); -1 for each when the counter gives back no value, 0 for each on
    // failure.
    QList<qint32> IncrementaContatore(const QString& nomeContatore, int volte);

    // Descrizione of the document type; "" when missing or NULL, "" on failure.
    QString DescrizioneTipoDocumento(qint32 idTipoDocumento);
    // NomeContatore of the document type; "" when missing or NULL, "" on failure.
    QString ContatoreTipoDocumento(qint32 idTipoDocumento);
    // One above the highest NumeroRiga saved for the document ("1" when it has none); "" on failure.
    QString ProssimoNumeroRiga(qint32 idDocumento);

    // Title and cover number of the issue (product types 1-7 and 9, at most 50 characters) or the title
    // alone (at most 80); "" for a missing issue, "" on failure.
    QString DescrizioneUscita(qint32 idUscita);
    // IDIva of the issue, 1 when it is NULL; 0 for a missing issue, 0 on failure.
    qint32 CodiceIvaUscita(qint32 idUscita);
    // Aliquota of the VAT code rounded to a whole number (halves to even); 0 when missing, 0 on failure.
    qint32 AliquotaIva(qint32 codiceIva);
    // PrezzoNetto of the issue; "0" for a missing issue, "" on failure (a NULL price included).
    QString PrezzoNettoUscita(qint32 idUscita);
    // PrezzoVenditaExtra of the issue, "0" when NULL; "0" for a missing issue, "" on failure.
    QString PrezzoExtraUscita(qint32 idUscita);
    // UmAcquisto (purchase unit) or UmVendita of the issue; "" when missing, "" on failure (NULL too).
    QString UnitaMisuraUscita(qint32 idUscita, bool unitaAcquisto);
    // ScaricaGiacenza for each issue and quantity, in order: lowers the issue's stock by the quantity (a
    // negative quantity raises it); gives how many were lowered (a missing issue is not). One statement
    // lowers several issues, each issue by one quantity at a time as single calls would (on SQL Server
    // each issue in a statement of its own); a statement that fails falls back for its issues alone
    // (none of them lowered), and on SQL Server for those after it too. A store that does not count its rows
    // is taken at its word that every issue was.
    struct Scarico
    {
        qint32 idUscita;
        float quantita;
    };
    int ScaricaGiacenze(const QList<Scarico>& scarichi);

    // Reads at once the rows of Uscite and vUscite of the given issues that are not kept yet, so that
    // the lookups of a sale's rows then ask the store nothing more; false when that failed (counted as a
    // failure like any other), and each lookup then reads its issue itself, with its own fallback.
    bool ricordaUscite(const QList<qint32>& idUscite);

    // How many calls have fallen back on a failure so far: a caller that groups its writes checks its
    // transaction after a call that failed.
    int fallimenti() const { return m_failures; }
    // Whether the last of those failures came from another writer getting in the way (ConflittoStore).
    bool ultimoFallimentoConflitto() const { return m_lastFailureConflict; }
    // What the store said of that failure.
    const QString& ultimoFallimento() const { return m_lastFailure; }

    // How many issues are kept at most, once read: a day's sales mostly come back to the same few.
    static constexpr int kUsciteRicordate = 1024;

private:
    using Riga = std::optional<QSqlRecord>; // the first row of a lookup, nothing when there is none

    // Runs the statement (prepared on first use) with its values and gives its first row. Throws
    // Failure on any error.
    Riga primaRiga(const QString& sql, const QVariantList& values);
    void limiteContatore();
    std::optional<qint32> contatoreEmbedded(const QString& name, int step);
    qint32 contatoreSqlServer(const QString& name);
    int scaricaUnaPerIstruzione(const QList<Scarico>& scarichi);
    void limitaUscite(int added = 1);
    void leggiUscite(const QString& sql, const QList<qint32>& ids, QHash<qint32, Riga>& memo);
    const Riga& rigaTipoDocumento(qint32 idTipoDocumento);
    const Riga& rigaUscita(qint32 idUscita);
    const Riga& rigaVistaUscita(qint32 idUscita);

    template <typename T, typename F> T protetto(const T& fallback, F&& body);
    template <typename T, typename F>
    T ricordato(QHash<qint32, T>& memo, qint32 key, const T& fallback, F&& body);

    ConnessioneStore& m_connection;
    QHash<qint32, Riga> m_types;
    QHash<qint32, Riga> m_vatCodes;
    QHash<qint32, Riga> m_issues;     // rows of Uscite
    QHash<qint32, Riga> m_issueViews; // rows of vUscite
    // Results by issue (or VAT code), as given.
    QHash<qint32, QString> m_descriptions, m_netPrices, m_extraPrices, m_salesUnits, m_purchaseUnits;
    QHash<qint32, qint32> m_vatCodesOfIssues, m_rates;
    int m_failures = 0;
    bool m_lastFailureConflict = false;
    QString m_lastFailure;
};

// Reads a number given as text by these services (decimal comma or point) the lenient way: empty or
// non-numeric text reads as 0.
double numeroDaTesto(const QString& text);
