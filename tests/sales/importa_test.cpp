#include "sales/importavendite.h"

#include "qtprinting.h"
#include "salesstore.h"
#include "services/exchangelock.h"
#include "services/parametri.h"
#include "store/embeddedstore.h"

#include <QDir>
#include <QFile>

namespace {
const QString kRiga = QString(49, QLatin1Char('='));
const QString kSuccesso = QStringLiteral("Importazione Vendite Terminata con Successo !");
const QString kGia = QStringLiteral("SALTATA: IDMovimento Già Importato nel DB ");

// The window as the import sees it: the sales panel's lines, the boxes ("C" critical, "I" information,
// then the title and the text), the busy changes and the last title.
class Finestra : public RunDisplay
{
public:
    void scriviLog(Pannello panel, const QString& text) override
    {
        EXPECT_EQ(panel, Pannello::Vendite) << qPrintable(text);
        righe << text;
    }
    void azzeraPannello(Pannello) override { righe.clear(); }
    void impostaMassimo(Pannello, int maximum) override { massimi << maximum; }
    void avanzaProgresso(Pannello) override { ++passi; }
    void svuotaAttivita(Pannello) override { puntiSvuotati = true; }
    void impostaTitolo(const QString& title) override { titolo = title; }
    void impostaOccupato(bool busy) override { occupato << busy; }
    void lasciaPassareEventi() override {}
    bool chiediSiNo(const QString&, const QString& text) override
    {
        ADD_FAILURE() << "the import asks nothing: " << qPrintable(text);
        return false;
    }
    void avvisa(IconaMessaggio icon, const QString& title, const QString& text) override
    {
        avvisi << (icon == IconaMessaggio::Critica ? QStringLiteral("C|") : QStringLiteral("I|")) + title +
                      QLatin1Char('|') + text;
    }

    QStringList righe, avvisi;
    QList<int> massimi;
    QList<bool> occupato;
    QString titolo;
    int passi = 0;
    bool puntiSvuotati = false;
};

// A line as the shop writes it: sale, row, issue 4711, quantity 1 at 2.50, 7 December 2026 09:05.
QByteArray riga(const char* id, const char* row)
{
    return QByteArray(id).leftJustified(15, ' ') + "202612070905" + QByteArray(row).rightJustified(4, ' ') +
           QByteArray("4711").rightJustified(12, ' ') + QByteArray(18, ' ') + "        1" + "000000250" +
           QByteArray(41, ' ');
}

QByteArray file(const QList<QByteArray>& lines)
{
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

QStringList chiusura(int skipped)
{
    return {QStringLiteral("Creazione Vendita in Tavira Terminata"), kRiga,
            QStringLiteral("Righe Saltate = %1").arg(skipped), kSuccesso, kRiga};
}

const QStringList kApertura = {kRiga, "Inizio Controlli Catalogo TOTALE", "Test Connessione Database Tavira",
                               "Connessione OK !", "Test Cartella di Origine"};
const QStringList kInterrotta = {kRiga, "Esportazione INTERROTTA !!", kRiga};
const QString kTitoloFinale = QStringLiteral("Esporta Importa in 'Vetrina'");

class Importa : public SalesStoreTest
{
protected:
    void SetUp() override
    {
        SalesStoreTest::SetUp();
        ASSERT_TRUE(QDir(folder()).mkpath(QStringLiteral("vendite")));
        ASSERT_TRUE(ScriviParametro(QStringLiteral("PathOrigineVendite"), path(QStringLiteral("vendite"))));
        ASSERT_TRUE(ScriviParametro(QStringLiteral("NomeFileVendite"), QStringLiteral("Vendite.DAT")));
    }

    EsitoRun importa(bool unattended = false)
    {
        w = Finestra();
        return importaVendite(ContestoRun{w, impostazioniFileStore(storePath()), unattended});
    }

    QString vendite(const QString& name) const { return QStringLiteral("vendite/") + name; }
    QStringList fileInVendite() const { return QDir(path(QStringLiteral("vendite"))).entryList(QDir::Files); }

    Finestra w;
};

TEST_F(Importa, ACleanFileIsStagedAndTheRunCompletes)
{
    writeBytes(vendite("Vendite.DAT"), file({riga("S1", "1"), riga("S1", "2")}));
    EXPECT_EQ(importa(), EsitoRun::Completata);

    // One sale of two rows at 2.50: one document, its cover total in the regional number format.
    const QStringList middle = {"File da Importare OK",        "Fine Controlli",
                                "Inizio Importazione Vendite", "Inizio Creazione Vendita",
                                "Creato Documento con ID = 1", "Tot € = 5"};
    EXPECT_EQ(w.righe, kApertura + middle + chiusura(0));
    EXPECT_EQ(w.avvisi, QStringList({"I|OK|" + kSuccesso}));
    EXPECT_EQ(w.occupato, QList<bool>({true, false}));
    EXPECT_EQ(w.massimi, QList<int>({2}));
    EXPECT_EQ(w.passi, 2);
    EXPECT_EQ(w.titolo, kTitoloFinale);
    EXPECT_TRUE(w.puntiSvuotati);
    EXPECT_EQ(staged(),
              QStringList({"S1|1|2026-12-07|09:05||1|4711|2.5|1", "S1|2|2026-12-07|09:05||1|4711|2.5|1"}));
    EXPECT_TRUE(fileInVendite().isEmpty()) << qPrintable(fileInVendite().join(','));
}

TEST_F(Importa, TheSameFileTwiceSkipsEveryValidLine)
{
    const QByteArray bytes =
        file({riga("S1", "1"), riga("S2", "1"), riga("S3", "1"), riga("S3", "1").left(90)});
    writeBytes(vendite("Vendite.DAT"), bytes);
    ASSERT_EQ(importa(), EsitoRun::Completata);
    writeBytes(vendite("Vendite.DAT"), bytes);
    EXPECT_EQ(importa(true), EsitoRun::Completata);

    EXPECT_EQ(w.righe.count(kGia), 3);
    EXPECT_EQ(w.righe.mid(w.righe.size() - 5), chiusura(3));
    EXPECT_TRUE(w.avvisi.isEmpty()) << "unattended";
    EXPECT_EQ(staged().size(), 3);
    EXPECT_EQ(readBytes(vendite("SALTATO_Vendite.DAT")),
              file({riga("S1", "1"), riga("S2", "1"), riga("S3", "1")}));
}

TEST_F(Importa, APendingCopyThenTheNewSalesFile)
{
    writeBytes(vendite("TEMP_Vendite.DAT"), file({riga("P1", "1")}));
    writeBytes(vendite("Vendite.DAT"), file({riga("N1", "1"), riga("N2", "1")}));
    EXPECT_EQ(importa(), EsitoRun::Completata);

    // Both files are staged before the documents: one a sale.
    const QStringList middle = {"File Temporaneo In Sospeso",
                                "File da Importare OK",
                                "Fine Controlli",
                                "Inizio Importazione Vendite",
                                "Inizio Creazione Vendita",
                                "Creato Documento con ID = 1",
                                "Tot € = 2,5",
                                "Creato Documento con ID = 2",
                                "Tot € = 2,5",
                                "Creato Documento con ID = 3",
                                "Tot € = 2,5"};
    EXPECT_EQ(w.righe, kApertura + middle + chiusura(0));
    EXPECT_EQ(w.avvisi, QStringList({"C|Attenzione|C'à un File Temporaneo in Sospeso Faccio Questo",
                                     "I|OK|" + kSuccesso}));
    EXPECT_EQ(w.massimi, QList<int>({1, 2}));
    EXPECT_EQ(staged().size(), 3);
    EXPECT_TRUE(fileInVendite().isEmpty()) << qPrintable(fileInVendite().join(','));
}

TEST_F(Importa, NoFileGoesStraightToTheDocuments)
{
    // A row staged by an earlier run that stopped before its document.
    esegui(QStringLiteral("INSERT INTO Vendite_VT (IDVendita, IDRiga, Data, Ora, Barcode, \"Quantità\", "
                          "IDUscita, Prezzo, Elaborato) VALUES ('E1', '1', '2026-12-06', '18:30', '', 2, "
                          "4711, 1.2, '0')"));
    EXPECT_EQ(importa(), EsitoRun::Completata);
    EXPECT_EQ(w.righe, kApertura +
                           QStringList({"Non C'è Nessun File fa Importare", "Creato Documento con ID = 1",
                                        "Tot € = 2,4"}) +
                           chiusura(0));
    EXPECT_EQ(w.avvisi,
              QStringList({"C|Attenzione|Non C'è Nessun File da Importare!!", "I|OK|" + kSuccesso}));
    EXPECT_EQ(w.occupato, QList<bool>({false})) << "never busy";
    EXPECT_EQ(w.titolo, kTitoloFinale);
}

struct Controllo
{
    const char* nome;
    const char* cartella; // relative to the program folder; "" stays blank
    const char* file;
    const char* testo; // the line and the message, or how they begin
};

void PrintTo(const Controllo& c, std::ostream* out)
{
    *out << c.nome;
}

class Controlli : public Importa, public ::testing::WithParamInterface<Controllo>
{
};

TEST_P(Controlli, RefuseAndEndInterrupted)
{
    const Controllo& c = GetParam();
    const QString folderText = QString::fromUtf8(c.cartella);
    ASSERT_TRUE(ScriviParametro(QStringLiteral("PathOrigineVendite"),
                                folderText.trimmed().isEmpty() ? folderText : path(folderText)));
    ASSERT_TRUE(ScriviParametro(QStringLiteral("NomeFileVendite"), QString::fromUtf8(c.file)));
    writeBytes(vendite("Vendite.DAT"), file({riga("S1", "1")}));
    writeBytes(QStringLiteral("LOG.Dat"), "log\r\n");
    const QString text = QString::fromUtf8(c.testo);

    EXPECT_EQ(importa(), EsitoRun::Interrotta);
    ASSERT_GE(w.righe.size(), 9);
    EXPECT_EQ(w.righe.first(5), kApertura);
    EXPECT_TRUE(w.righe[w.righe.size() - 4].startsWith(text)) << qPrintable(w.righe.join('\n'));
    EXPECT_EQ(w.righe.last(3), kInterrotta);
    ASSERT_EQ(w.avvisi.size(), 1);
    EXPECT_TRUE(w.avvisi[0].startsWith("C|Attenzione!|" + text)) << qPrintable(w.avvisi[0]);
    EXPECT_EQ(w.titolo, kTitoloFinale);
    EXPECT_TRUE(staged().isEmpty());
    EXPECT_EQ(readBytes(vendite("Vendite.DAT")), file({riga("S1", "1")}));
    EXPECT_EQ(readBytes(QStringLiteral("LOG.Dat")), "log\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Controlli,
    ::testing::Values(
        Controllo{"BlankFolder", "   ", "Vendite.DAT", "La Cartella di Origine non è Configurata"},
        Controllo{"MissingFolder", "nessuna", "Vendite.DAT", "la cartella di Origine non Esiste!!"},
        Controllo{"BlankName", "vendite", "  ", "Il Nome del File non è Impostato"},
        // The import deletes what it takes in: never the program's own activity log.
        Controllo{"OwnLog", ".", "log.dat", "Il File Scelto Sostituirebbe un File del Programma: "}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST_F(Importa, AnotherImportOnTheFolderInterrupts)
{
    writeBytes(vendite("Vendite.DAT"), file({riga("S1", "1")}));
    ExchangeLock other(path(vendite("Vendite.DAT")));
    ASSERT_TRUE(other.acquire(0, [] {}));
    EXPECT_EQ(importa(true), EsitoRun::Interrotta);
    EXPECT_EQ(w.righe.mid(w.righe.size() - 4),
              QStringList{"Un'Altra Importazione delle Vendite da questa Cartella è in Corso"} + kInterrotta);
    EXPECT_TRUE(staged().isEmpty());
    EXPECT_TRUE(QFile::exists(path(vendite("Vendite.DAT"))));
}

TEST_F(Importa, AStoreFailureGoesToTheErrorReportAndKeepsTheCopy)
{
    writeBytes(vendite("Vendite.DAT"), file({riga("S1", "1")}));
    esegui(QStringLiteral("DROP TABLE Vendite_VT"));
    EXPECT_EQ(importa(true), EsitoRun::Interrotta);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].description.endsWith("(Importa Vendite)")) << qPrintable(errors[0].description);
    EXPECT_FALSE(w.righe.contains(kSuccesso));
    EXPECT_FALSE(w.righe.contains("Esportazione INTERROTTA !!")); // not a handled ending
    ASSERT_FALSE(w.occupato.isEmpty());
    EXPECT_FALSE(w.occupato.last()); // the window is usable again
    EXPECT_EQ(fileInVendite(), QStringList({"TEMP_Vendite.DAT"})) << "left for the next run";
}
} // namespace
