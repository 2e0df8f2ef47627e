#include "store/bench/salesfloor.h"

#include "sales/letturavendite.h"
#include "services/failure.h"
#include "store/connessionestore.h"
#include "store/transazione.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>

namespace {
// The decoded lines of the file, in file order, loaded into a temporary table; rejected lines are left
// out as the import leaves them out.
class Caricamento : public EsitiRighe
{
public:
    explicit Caricamento(ConnessioneStore& connection)
        : m_connection(connection),
          m_insert(connection.prepara(QStringLiteral(
              "INSERT INTO temp.Linee (IDVendita, IDRiga, Data, Ora, Barcode, Qta, IDUscita, Prezzo) "
              "VALUES (?, ?, ?, ?, ?, ?, ?, ?)")))
    {
    }

    void rigaLetta() override { ++m_lines; }
    void scartata(Scarto, const QByteArray&) override {}
    void accettata(RigaVendita& v, const QByteArray&) override
    {
        const QVariantList values = {v.idVendita,      v.idRiga,        v.data,     v.ora,
                                     v.barcodeAddon(), int(v.quantita), v.idUscita, v.prezzo};
        for (int i = 0; i < values.size(); ++i)
            m_insert.bindValue(i, values.at(i));
        m_connection.eseguiPreparata(m_insert);
    }

    qint64 righe() const { return m_lines; }

private:
    ConnessioneStore& m_connection;
    QSqlQuery m_insert;
    qint64 m_lines = 0;
};

// Staged as the import stages them: an issue that exists keeps its identifier, otherwise exactly one
// issue with the line's barcode and add-on gives its own, else 0; a line whose sale and row number are
// staged already, or came earlier in the file, is left out.
const char* const kStaging = R"(
INSERT INTO Vendite_VT (IDVendita, IDRiga, Data, Ora, Barcode, "Quantità", IDUscita, Prezzo, Elaborato)
SELECT l.IDVendita, l.IDRiga, l.Data, l.Ora, l.Barcode, l.Qta,
       CASE WHEN EXISTS (SELECT 1 FROM Uscite AS u WHERE u.IDUscita = l.IDUscita) THEN l.IDUscita
            WHEN l.Barcode = '' THEN 0
            ELSE (SELECT CASE WHEN COUNT(*) = 1 THEN MIN(u.IDUscita) ELSE 0 END FROM Uscite AS u
                  WHERE rtrim(u.BarcodeAddon) COLLATE NOCASE = rtrim(l.Barcode)) END,
       l.Prezzo, '0'
FROM temp.Linee AS l
WHERE NOT EXISTS (SELECT 1 FROM Vendite_VT AS v
                  WHERE rtrim(v.IDVendita) COLLATE NOCASE = rtrim(l.IDVendita)
                    AND rtrim(v.IDRiga) COLLATE NOCASE = rtrim(l.IDRiga))
  AND NOT EXISTS (SELECT 1 FROM temp.Linee AS d
                  WHERE rtrim(d.IDVendita) COLLATE NOCASE = rtrim(l.IDVendita)
                    AND rtrim(d.IDRiga) COLLATE NOCASE = rtrim(l.IDRiga) AND d.n < l.n)
ORDER BY l.n)";

// One document per pending sale, numbered on from the counters.
const char* const kDocumenti = R"(
INSERT INTO temp.Doc (IDVendita, IDDocumento, numero)
SELECT s.IDVendita,
       (SELECT Valore FROM Contatori WHERE NomeContatore = 'IDDocumento') + s.k,
       (SELECT c.Valore FROM Contatori AS c JOIN TipiDocumento AS t ON c.NomeContatore = t.NomeContatore
        WHERE t.IDTipoDocumento = 7) + s.k
FROM (SELECT IDVendita, ROW_NUMBER() OVER (ORDER BY IDVendita) AS k
      FROM Vendite_VT WHERE Elaborato = '0' AND IDUscita > 0 GROUP BY IDVendita) AS s)";

// Their rows, with the issue's description, VAT rate, prices and unit.
const char* const kRighe = R"(
INSERT INTO temp.Righe
SELECT (SELECT Valore FROM Contatori WHERE NomeContatore = 'IDDocumentoRiga')
           + ROW_NUMBER() OVER (ORDER BY d.IDDocumento, v.IDRiga),
       ROW_NUMBER() OVER (PARTITION BY d.IDDocumento ORDER BY v.IDRiga),
       v.IDUscita, d.IDDocumento,
       CASE WHEN p.IDTipoProdotto BETWEEN 1 AND 7 OR p.IDTipoProdotto = 9
            THEN substr(trim(p.Testata) || ' N.' || u.NumeroCopertina, 1, 50)
            ELSE substr(trim(p.Testata), 1, 80) END,
       CAST(round(COALESCE(i.Aliquota, 0)) AS INTEGER),
       u.PrezzoNetto,
       CASE WHEN COALESCE(u.PrezzoVenditaExtra, 0) <> 0 THEN u.PrezzoVenditaExtra ELSE v.Prezzo END,
       v."Quantità", u.UmVendita, v.Data, v.Ora, v.rowid
FROM Vendite_VT AS v JOIN temp.Doc AS d ON d.IDVendita = v.IDVendita
     JOIN Uscite AS u ON u.IDUscita = v.IDUscita
     LEFT JOIN Prodotti AS p ON p.IDProd = u.IDProd
     LEFT JOIN IVA AS i ON i.IDIVA = COALESCE(u.IDIva, 1)
WHERE v.Elaborato = '0' AND v.IDUscita > 0)";

const char* const kNuoveRighe = R"(
INSERT INTO DocumentiRighe (IDDocumentoRiga, NumeroRiga, IDUscita, idcausaleMovimento, IDDocumento,
                            Descrizione, Iva, PrezzoNetto, PrezzoCopertina, Spunta, QTA, QtaRec, UM)
SELECT IDDocumentoRiga, NumeroRiga, IDUscita, 21, IDDocumento, Descrizione, Iva, PrezzoNetto,
       PrezzoCopertina, 0, Qta, Qta, UM
FROM temp.Righe)";

// The headers, dated with the last row of each, with their totals.
const char* const kNuoveTestate = R"(
INSERT INTO Documenti (IDDocumento, IDFornitore, numero, IDTipoDocumento, Descrizione, Note, Data,
                       TotaleImponibile, TotaleIVA, TotaleBolla, ValoreBolla, TotaleFIEG, TotaleAltri)
SELECT d.IDDocumento, 1, d.numero, 7, t.Descrizione, 'Vendita Importato da ''Kioskar''',
       (SELECT r.Data || ' ' || r.Ora || ':00' FROM temp.Righe AS r
        WHERE r.IDDocumento = d.IDDocumento ORDER BY r.NumeroRiga DESC LIMIT 1),
       a.imponibile, a.iva, a.bolla, 0, 0, 0
FROM temp.Doc AS d
     JOIN (SELECT IDDocumento,
                  TOTAL(CASE WHEN Iva > 0 THEN PrezzoNetto * Qta ELSE 0 END) AS imponibile,
                  TOTAL(CASE WHEN Iva > 0 THEN Iva * PrezzoNetto * Qta / 100.0 ELSE 0 END) AS iva,
                  TOTAL(PrezzoCopertina * Qta) AS bolla
           FROM temp.Righe GROUP BY IDDocumento) AS a ON a.IDDocumento = d.IDDocumento
     JOIN TipiDocumento AS t ON t.IDTipoDocumento = 7)";

const char* const kScarico = R"(
UPDATE Uscite SET Giacenza = Giacenza - (SELECT TOTAL(r.Qta) FROM temp.Righe AS r
                                         WHERE r.IDUscita = Uscite.IDUscita)
WHERE IDUscita IN (SELECT IDUscita FROM temp.Righe))";

const char* const kSegna =
    "UPDATE Vendite_VT SET Elaborato = '1' WHERE rowid IN (SELECT Staged FROM temp.Righe)";

const char* const kContatori = R"(
UPDATE Contatori SET Valore = Valore + CASE WHEN NomeContatore = 'IDDocumentoRiga'
                                            THEN (SELECT COUNT(*) FROM temp.Righe)
                                            ELSE (SELECT COUNT(*) FROM temp.Doc) END
WHERE NomeContatore IN ('IDDocumento', 'IDDocumentoRiga',
                        (SELECT NomeContatore FROM TipiDocumento WHERE IDTipoDocumento = 7)))";

void esegui(ConnessioneStore& connection, const char* sql)
{
    connection.esegui(QString::fromUtf8(sql)).finish();
}
} // namespace

TempiMinimo minimoVendite(ConnessioneStore& connection, const QString& salesFile)
{
    QElapsedTimer clock;
    clock.start();
    TempiMinimo tempi;
    QFile file(salesFile);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(FailureCode::PathFileAccess,
                      QStringLiteral("Impossibile aprire %1: %2").arg(salesFile, file.errorString()));
    Transazione transaction(connection);
    esegui(connection, "CREATE TEMP TABLE Linee (n INTEGER PRIMARY KEY, IDVendita TEXT, IDRiga TEXT, "
                       "Data TEXT, Ora TEXT, Barcode TEXT, Qta INTEGER, IDUscita INTEGER, Prezzo REAL)");
    {
        Caricamento caricamento(connection);
        leggiRigheVendite(file, caricamento);
        tempi.righe = caricamento.righe();
    }
    esegui(connection, "CREATE INDEX temp.IX_Linee ON Linee (rtrim(IDVendita) COLLATE NOCASE, "
                       "rtrim(IDRiga) COLLATE NOCASE)");
    esegui(connection, kStaging);
    tempi.stagingNs = clock.nsecsElapsed();

    esegui(connection, "CREATE TEMP TABLE Doc (IDVendita TEXT PRIMARY KEY COLLATE NOCASE, "
                       "IDDocumento INTEGER, numero INTEGER)");
    esegui(connection, "CREATE TEMP TABLE Righe (IDDocumentoRiga INTEGER, NumeroRiga INTEGER, "
                       "IDUscita INTEGER, IDDocumento INTEGER, Descrizione TEXT, Iva INTEGER, "
                       "PrezzoNetto NUMERIC, PrezzoCopertina NUMERIC, Qta NUMERIC, UM TEXT, Data TEXT, "
                       "Ora TEXT, Staged INTEGER)");
    esegui(connection, kDocumenti);
    esegui(connection, kRighe);
    esegui(connection, "CREATE INDEX temp.IX_Righe_Documento ON Righe (IDDocumento, NumeroRiga)");
    esegui(connection, "CREATE INDEX temp.IX_Righe_Uscita ON Righe (IDUscita)");
    esegui(connection, kNuoveRighe);
    esegui(connection, kNuoveTestate);
    esegui(connection, kScarico);
    esegui(connection, kSegna);
    esegui(connection, kContatori);
    transaction.conferma();
    for (const char* table : {"Linee", "Doc", "Righe"})
        esegui(connection,
               QStringLiteral("DROP TABLE temp.%1").arg(QLatin1String(table)).toUtf8().constData());
    tempi.documentiNs = clock.nsecsElapsed() - tempi.stagingNs;
    return tempi;
}

QString riepilogoStore(ConnessioneStore& connection)
{
    QSqlQuery query = connection.esegui(QStringLiteral(
        "SELECT (SELECT COUNT(*) FROM Vendite_VT), (SELECT COUNT(*) FROM Vendite_VT WHERE Elaborato = '1'), "
        "(SELECT COUNT(*) FROM Documenti), (SELECT COUNT(*) FROM DocumentiRighe), "
        "printf('%.2f', (SELECT TOTAL(TotaleBolla) FROM Documenti)), "
        "printf('%.2f', (SELECT TOTAL(TotaleImponibile) FROM Documenti)), "
        "printf('%.2f', (SELECT TOTAL(TotaleIVA) FROM Documenti)), "
        "printf('%.2f', (SELECT TOTAL(Giacenza) FROM Uscite)), "
        "(SELECT GROUP_CONCAT(Valore, '/') FROM (SELECT Valore FROM Contatori ORDER BY NomeContatore))"));
    if (!query.next()) throw Failure(FailureCode::Database, QStringLiteral("Riepilogo non letto"));
    return QStringLiteral("staged=%1,marked=%2,documents=%3,rows=%4,bolla=%5,imponibile=%6,iva=%7,stock=%8,"
                          "counters=%9")
        .arg(query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
             query.value(3).toString(), query.value(4).toString(), query.value(5).toString(),
             query.value(6).toString(), query.value(7).toString(), query.value(8).toString());
}
