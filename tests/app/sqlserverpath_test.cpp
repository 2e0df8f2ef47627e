// The SQL Server path from end to end: the built program's unattended "/A /C /V" with its store served by
// the TDS test server through FreeTDS, against the same run on the same store embedded; what a refused
// write leaves behind; the database chooser and the login on that path.
#include "modalscript.h"
#include "plainsqlite.h"
#include "store/ui/frmelencodatabase.h"
#include "tdstestserver.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
const QString kStore = QStringLiteral("TAVIRA_DEMO.sqlite");

bool freeTdsInstalled()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC"))) return false;
    QFile registry(QStringLiteral("/etc/odbcinst.ini"));
    return registry.open(QIODevice::ReadOnly) && registry.readAll().contains("[FreeTDS]");
}

QByteArray readAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The activity log without its time stamps.
QString storyOf(const QString& file)
{
    static const QRegularExpression stamp(
        QStringLiteral("\\d{1,2}[/.-]\\d{1,2}[/.-]\\d{2,4}|\\d{1,2}[:.]\\d{2}[:.]\\d{2}"));
    return QString::fromLatin1(readAll(file)).replace(stamp, QStringLiteral("#"));
}

// What the runs leave in a store: staged rows, documents, rows, stock, counters.
QStringList storeState(const QString& file)
{
    const char* const queries[] = {"SELECT * FROM Vendite_VT ORDER BY IDVendita, IDRiga",
                                   "SELECT * FROM Documenti ORDER BY IDDocumento",
                                   "SELECT * FROM DocumentiRighe ORDER BY IDDocumentoRiga",
                                   "SELECT IDUscita, Giacenza FROM Uscite ORDER BY IDUscita",
                                   "SELECT * FROM Contatori ORDER BY NomeContatore"};
    PlainSqlite store(file);
    QStringList state;
    for (const char* query : queries)
        for (const QString& row : store.run(QString::fromLatin1(query)))
            state << QString::fromLatin1(query).section(QStringLiteral(" FROM "), 1).section(' ', 0, 0) +
                         ": " + row;
    return state;
}

// The lines of `served` missing from `embedded` ("+") and the other way round ("-"), at most 20.
std::string difference(const QStringList& served, const QStringList& embedded)
{
    QStringList lines;
    for (const QString& line : served)
        if (!embedded.contains(line)) lines << QStringLiteral("+ ") + line;
    for (const QString& line : embedded)
        if (!served.contains(line)) lines << QStringLiteral("- ") + line;
    if (served.size() != embedded.size())
        lines << QStringLiteral("lines: %1 served, %2 embedded").arg(served.size()).arg(embedded.size());
    return lines.mid(0, 20).join('\n').toStdString();
}

class SqlServerPath : public ::testing::Test
{
protected:
    // One demo store and one sales file for every run.
    static void SetUpTestSuite()
    {
        s_base = new QTemporaryDir;
        const QString store = s_base->filePath(kStore);
        QProcess::execute(QStringLiteral(EI_STORETOOL), {"demo", store, "--titoli", "40", "--seed", "7"});
        QProcess::execute(QStringLiteral(EI_STORETOOL), {"vendite", store, s_base->filePath("Vendite.DAT"),
                                                         "--vendite", "12", "--righe", "4", "--seed", "7"});
        // A sale of issue 1 with no barcode and add-on: its staged Barcode is the empty text.
        QFile sales(s_base->filePath("Vendite.DAT"));
        if (sales.open(QIODevice::Append))
            sales.write(QByteArray("SENZABARCODE").leftJustified(15, ' ') + "2026120709050001" +
                        QByteArray("1").rightJustified(12, ' ') + QByteArray(18, ' ') + "        1" +
                        "000000250" + QByteArray(41, ' ') + "\r\n");
    }
    static void TearDownTestSuite()
    {
        delete s_base;
        s_base = nullptr;
    }
    void SetUp() override
    {
        if (!freeTdsInstalled()) GTEST_SKIP() << "FreeTDS ODBC driver not installed";
        ASSERT_TRUE(QFile::exists(s_base->filePath(kStore))) << "tavira-store made no demo store";
    }

    // A program folder named `name`: the store and sales file copied in, Tavira.XML naming `server`
    // ("sqlite:store" for the embedded store).
    QString site(const QString& name, const QString& server, const QString& password = "demo")
    {
        const QString folder = m_sites.filePath(name);
        QDir().mkpath(folder + QStringLiteral("/store"));
        QFile::copy(s_base->filePath(kStore), folder + QStringLiteral("/store/") + kStore);
        QFile::copy(s_base->filePath(QStringLiteral("Vendite.DAT")), folder + QStringLiteral("/Vendite.DAT"));
        QFile xml(folder + QStringLiteral("/Tavira.XML"));
        EXPECT_TRUE(xml.open(QIODevice::WriteOnly));
        xml.write(
            "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<Tavira dataBaseName=\"TAVIRA_DEMO\" "
            "debug=\"0\" terminal=\"1\" zefiroMaster=\"0\" toolbarShow=\"0\">\r\n  <DBServerName>" +
            server.toUtf8() +
            "</DBServerName>\r\n  <DBAdminUsername>sa</DBAdminUsername>\r\n  "
            "<DBAdminPassword></DBAdminPassword>\r\n  <DBUsername>vetrina</DBUsername>\r\n  <DBPassword>" +
            password.toUtf8() + "</DBPassword>\r\n</Tavira>\r\n");
        return folder;
    }

    // The program's exit status after "/A /C /V" in that folder; -1 when it did not end within 2 minutes,
    // kErrorReport when it showed the error report (a modal dialog that waits for an operator: the test
    // ends the program once the report is in LogErrori.TXT).
    static constexpr int kErrorReport = -2;
    static int run(const QString& folder)
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ESPORTA_IMPORTA_DIR"), folder);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("ESPORTA_IMPORTA_ODBC_DRIVER"), QStringLiteral("FreeTDS"));
        child.setProcessEnvironment(environment);
        child.start(QStringLiteral(EI_PROGRAM),
                    {QStringLiteral("/A"), QStringLiteral("/C"), QStringLiteral("/V")});
        bool reported = false;
        for (int waited = 0; waited < 120000 && !reported && !child.waitForFinished(250); waited += 250)
            reported = QFile::exists(folder + QStringLiteral("/LogErrori.TXT"));
        if (reported) child.waitForFinished(1000); // the undoing has happened before the report
        if (child.state() != QProcess::NotRunning) {
            child.kill();
            child.waitForFinished();
            return reported ? kErrorReport : -1;
        }
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    }

    // The program run in a site served by a test server given `options`; the server is stopped after.
    int servedRun(const QString& folder, const QStringList& options, QStringList* log = nullptr)
    {
        TdsTestServer server(folder + QStringLiteral("/store"), options);
        EXPECT_TRUE(server.started());
        QFile xml(folder + QStringLiteral("/Tavira.XML"));
        EXPECT_TRUE(xml.open(QIODevice::ReadOnly));
        QByteArray text = xml.readAll().replace("SERVER", server.serverName().toUtf8());
        xml.close();
        EXPECT_TRUE(xml.open(QIODevice::WriteOnly | QIODevice::Truncate));
        xml.write(text);
        xml.close();
        const int status = run(folder);
        server.stop();
        if (log) *log = server.log();
        return status;
    }

    static QTemporaryDir* s_base;
    QTemporaryDir m_sites;
};
QTemporaryDir* SqlServerPath::s_base = nullptr;
} // namespace

// The served run against the embedded one: the same catalog, the same lines turned away, the same staged
// rows, documents and their totals, rows, stock, marks and counters, the same story in LOG.Dat. No text
// goes out declared with no length (Microsoft's drivers refuse that).
TEST_F(SqlServerPath, TheUnattendedRunEndsAsOnTheEmbeddedStore)
{
    const QString embedded = site(QStringLiteral("embedded"), QStringLiteral("sqlite:store"));
    const QString served = site(QStringLiteral("served"), QStringLiteral("SERVER"));
    EXPECT_EQ(run(embedded), 0);
    QStringList log;
    EXPECT_EQ(servedRun(served, {}, &log), 0) << log.join('\n').toStdString();
    EXPECT_FALSE(log.filter(QStringLiteral("INSERT INTO Documenti ")).isEmpty())
        << "no sale reached the server";
    EXPECT_FALSE(log.filter(QStringLiteral("VARCHAR(1) = N''"), Qt::CaseInsensitive).isEmpty())
        << "no empty text was sent";
    EXPECT_EQ(log.filter(QRegularExpression(QStringLiteral("char\\(0\\)"),
                                            QRegularExpression::CaseInsensitiveOption)),
              QStringList());
    // Texts are compared as varchar, the columns' own type: a column compared with the nvarchar the driver
    // sends would be converted row by row instead of sought in its index.
    EXPECT_FALSE(log.filter(QStringLiteral("IDVendita = CAST(@P")).isEmpty());
    EXPECT_EQ(log.filter(QRegularExpression(QStringLiteral("\\b(IDVendita|IDRiga|barcodeAddon) = @P"),
                                            QRegularExpression::CaseInsensitiveOption)),
              QStringList());

    const QByteArray catalog = readAll(embedded + QStringLiteral("/Catalogo.DAT"));
    EXPECT_GT(catalog.size(), 140 * 10);
    EXPECT_EQ(readAll(served + QStringLiteral("/Catalogo.DAT")), catalog);
    const QStringList skipped = QDir(embedded).entryList({QStringLiteral("SALTATO_*")}, QDir::Files);
    EXPECT_FALSE(skipped.isEmpty()) << "the demo sales file holds lines to turn away";
    EXPECT_EQ(QDir(served).entryList({QStringLiteral("SALTATO_*")}, QDir::Files), skipped);
    for (const QString& file : skipped)
        EXPECT_EQ(readAll(served + '/' + file), readAll(embedded + '/' + file)) << file.toStdString();
    const QStringList after = storeState(embedded + QStringLiteral("/store/") + kStore);
    EXPECT_NE(after, storeState(s_base->filePath(kStore))) << "the import changed nothing";
    EXPECT_EQ(difference(storeState(served + QStringLiteral("/store/") + kStore), after), "");
    EXPECT_EQ(difference(storyOf(served + QStringLiteral("/LOG.Dat")).split(QStringLiteral("\r\n")),
                         storyOf(embedded + QStringLiteral("/LOG.Dat")).split(QStringLiteral("\r\n"))),
              "");
}

// What the server may do without changing the outcome: a sale that another writer got in the way of is
// undone and made again with the same numbers; counts that come late or not at all are no mismatch.
TEST_F(SqlServerPath, TheServersWaysChangeNothing)
{
    const struct
    {
        const char* name;
        QStringList options;
    } rows[] = {
        {"deadlock on a sale's stock update", {"--fault", "1205:UPDATE Uscite SET Giacenza:1"}},
        {"deadlock on the joint issue read, after the counters", {"--fault", "1205:FROM vUscite WHERE:1:3"}},
        {"lock time-out on a sale's rows", {"--fault", "1222:INSERT INTO DocumentiRighe:1:2"}},
        {"a trigger's row count before the statement's own", {"--trigger-count", "INSERT INTO"}},
        {"row counts withheld (NOCOUNT)", {"--nocount"}},
    };
    const QString embedded = site(QStringLiteral("embedded"), QStringLiteral("sqlite:store"));
    EXPECT_EQ(run(embedded), 0);
    const QStringList expected = storeState(embedded + QStringLiteral("/store/") + kStore);
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString served = site(QStringLiteral("served%1").arg(++n), QStringLiteral("SERVER"));
        EXPECT_EQ(servedRun(served, row.options), 0);
        EXPECT_EQ(difference(storeState(served + QStringLiteral("/store/") + kStore), expected), "");
    }
}

namespace {
// What a sale refused part-way must not leave: rows without their document or a document without rows,
// stock moved by other than the documented quantities, staged rows marked for sales not documented.
void expectNothingHalfSaved(const QString& store, const QString& base)
{
    PlainSqlite db(store);
    const auto one = [&db](const char* sql) { return db.run(QString::fromLatin1(sql)).value(0); };
    EXPECT_EQ(one("SELECT COUNT(*) FROM DocumentiRighe r WHERE NOT EXISTS "
                  "(SELECT 1 FROM Documenti d WHERE d.IDDocumento = r.IDDocumento)"),
              "0");
    EXPECT_EQ(one("SELECT COUNT(*) FROM Documenti d WHERE NOT EXISTS "
                  "(SELECT 1 FROM DocumentiRighe r WHERE r.IDDocumento = d.IDDocumento)"),
              "0");
    EXPECT_EQ(one("SELECT COUNT(DISTINCT IDVendita) FROM Vendite_VT WHERE Elaborato = '1'"),
              one("SELECT COUNT(*) FROM Documenti"));
    EXPECT_NE(one("SELECT COUNT(*) FROM Vendite_VT WHERE Elaborato = '0' AND IDUscita > 0"), "0")
        << "the refused sale's staged rows are pending";
    const double stockBefore =
        PlainSqlite(base).run("SELECT total(Giacenza) FROM Uscite").value(0).toDouble();
    EXPECT_NEAR(stockBefore - one("SELECT total(Giacenza) FROM Uscite").toDouble(),
                one("SELECT total(QTA) FROM DocumentiRighe").toDouble(), 1e-6);
}
} // namespace

TEST_F(SqlServerPath, ARefusedWriteUndoesItsSaleAndEndsInTheErrorReport)
{
    const struct
    {
        const char* name;
        const char* fault;     // what fails: the second sale's rows (written together), the fifth header
        const char* statement; // as the error report names it
        const char* documents; // the sales documented before
    } rows[] = {{"NOT NULL refused (515) on a document row", "515:INSERT INTO DocumentiRighe:1:1",
                 "INSERT INTO DocumentiRighe", "1"},
                {"text too long (8152) for a document header", "8152:INSERT INTO Documenti :1:4",
                 "INSERT INTO Documenti ", "4"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString served =
            site(QString::fromLatin1(row.name).section(' ', 0, 0), QStringLiteral("SERVER"));
        QStringList log;
        EXPECT_EQ(servedRun(served, {QStringLiteral("--fault"), QString::fromLatin1(row.fault)}, &log),
                  kErrorReport);
        EXPECT_EQ(log.filter(QStringLiteral("-- transaction request 8")).size() > 0, true)
            << "nothing undone";
        EXPECT_TRUE(readAll(served + QStringLiteral("/LogErrori.TXT")).contains(row.statement));
        expectNothingHalfSaved(served + QStringLiteral("/store/") + kStore, s_base->filePath(kStore));
        EXPECT_EQ(
            PlainSqlite(served + QStringLiteral("/store/") + kStore).run("SELECT COUNT(*) FROM Documenti"),
            QStringList{row.documents});
    }
}

// A price with more decimals than the document rows' column keeps: the row holds it at the column's two
// (as the server declares it), and the document's totals are computed from that.
TEST_F(SqlServerPath, RowAmountsComeFromThePricesAsTheRowHoldsThem)
{
    const QString served = site(QStringLiteral("served"), QStringLiteral("SERVER"));
    const QString store = served + QStringLiteral("/store/") + kStore;
    PlainSqlite(store).run(QStringLiteral("UPDATE Uscite SET PrezzoNetto = 1.235"));
    EXPECT_EQ(servedRun(served, {}), 0);
    const QStringList documents = PlainSqlite(store).run(QStringLiteral(
        "SELECT d.TotaleImponibile, (SELECT total(1.24 * r.QTA) FROM DocumentiRighe r WHERE "
        "r.IDDocumento = d.IDDocumento AND r.Iva > 0) FROM Documenti d WHERE d.TotaleImponibile <> 0"));
    ASSERT_FALSE(documents.isEmpty()) << "no document with taxed rows";
    for (const QString& document : documents)
        EXPECT_NEAR(document.section('|', 0, 0).toDouble(), document.section('|', 1, 1).toDouble(), 1e-9)
            << document.toStdString();
}

TEST_F(SqlServerPath, AWrongPasswordEndsInTheConnectionFailure)
{
    const QString served =
        site(QStringLiteral("served"), QStringLiteral("SERVER"), QStringLiteral("sbagliata"));
    QStringList log;
    EXPECT_EQ(servedRun(served, {QStringLiteral("--login"), QStringLiteral("vetrina:demo")}, &log), 1);
    EXPECT_TRUE(
        storyOf(served + QStringLiteral("/LOG.Dat")).contains("Connessione al Database di Tavira Fallita"));
    EXPECT_EQ(log.filter(QStringLiteral("-- login")).size(), 0);
    EXPECT_EQ(readAll(served + QStringLiteral("/Catalogo.DAT")), QByteArray());
}

TEST_F(SqlServerPath, TheChooserListsTheServedDatabases)
{
    QTemporaryDir folder;
    for (const char* name : {"TAVIRA_NEGOZIO", "TAVIRA_DEMO", "CORVUS_1"})
        QFile::copy(s_base->filePath(kStore), folder.filePath(QString::fromLatin1(name) + ".sqlite"));
    TdsTestServer server(folder.path());
    QLineEdit txtDb;
    FrmElencoDatabase dialog(
        {server.serverName(), QStringLiteral("vetrina"), QStringLiteral("demo"), QString()}, txtDb);
    QComboBox* combo = dialog.findChild<QComboBox*>(QStringLiteral("ComboDB"));
    ASSERT_NE(combo, nullptr);
    QStringList listed;
    for (int i = 0; i < combo->count(); ++i)
        listed << combo->itemText(i);
    EXPECT_EQ(listed, (QStringList{"CORVUS_1", "TAVIRA_DEMO", "TAVIRA_NEGOZIO"}));
}
