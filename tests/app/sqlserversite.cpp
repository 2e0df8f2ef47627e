#include "sqlserversite.h"

#include "plainsqlite.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>

QTemporaryDir* SqlServerPath::s_base = nullptr;

QByteArray readAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString storyOf(const QString& file)
{
    static const QRegularExpression stamp(
        QStringLiteral("\\d{1,2}[/.-]\\d{1,2}[/.-]\\d{2,4}|\\d{1,2}[:.]\\d{2}[:.]\\d{2}"));
    return QString::fromLatin1(readAll(file)).replace(stamp, QStringLiteral("#"));
}

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
    EXPECT_EQ(one("SELECT COUNT(*) - COUNT(DISTINCT IDVendita || '|' || IDRiga) FROM Vendite_VT"), "0")
        << "a line staged twice";
    EXPECT_EQ(one("SELECT COUNT(*) - COUNT(DISTINCT numero) FROM Documenti"), "0") << "a number used twice";
    EXPECT_EQ(one("SELECT (SELECT Valore FROM Contatori WHERE NomeContatore = 'IDDocumento') - "
                  "coalesce((SELECT MAX(IDDocumento) FROM Documenti), 0)"),
              "0")
        << "a document number spent without its document";
    EXPECT_EQ(one("SELECT (SELECT Valore FROM Contatori WHERE NomeContatore = 'IDDocumentoRiga') - "
                  "coalesce((SELECT MAX(IDDocumentoRiga) FROM DocumentiRighe), 0)"),
              "0")
        << "a row number spent without its row";
    const double stockBefore =
        PlainSqlite(base).run("SELECT total(Giacenza) FROM Uscite").value(0).toDouble();
    EXPECT_NEAR(stockBefore - one("SELECT total(Giacenza) FROM Uscite").toDouble(),
                one("SELECT total(QTA) FROM DocumentiRighe").toDouble(), 1e-6)
        << "stock moved by other than the documented quantities";
}

void SqlServerPath::SetUpTestSuite()
{
    s_base = new QTemporaryDir;
    const QString store = base();
    QProcess::execute(QStringLiteral(EI_STORETOOL), {"demo", store, "--titoli", "40", "--seed", "7"});
    QProcess::execute(QStringLiteral(EI_STORETOOL), {"vendite", store, baseFile("Vendite.DAT"), "--vendite",
                                                     "12", "--righe", "4", "--seed", "7"});
    // A sale of issue 1 with no barcode and add-on: its staged Barcode is the empty text.
    QFile sales(baseFile("Vendite.DAT"));
    if (sales.open(QIODevice::Append))
        sales.write(QByteArray("SENZABARCODE").leftJustified(15, ' ') + "2026120709050001" +
                    QByteArray("1").rightJustified(12, ' ') + QByteArray(18, ' ') + "        1" +
                    "000000250" + QByteArray(41, ' ') + "\r\n");
}

void SqlServerPath::TearDownTestSuite()
{
    delete s_base;
    s_base = nullptr;
}

void SqlServerPath::SetUp()
{
    ASSERT_TRUE(QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")));
    ASSERT_TRUE(QFile::exists(base())) << "tavira-store made no demo store";
    ASSERT_TRUE(engine().started()) << engine().error().toStdString();
}

QString SqlServerPath::site(const QString& name, const QString& server, const QString& database,
                            const QString& user, const QString& password)
{
    const QString folder = m_sites.filePath(name);
    QDir().mkpath(folder + QStringLiteral("/store"));
    QFile::copy(baseFile(QStringLiteral("Vendite.DAT")), folder + QStringLiteral("/Vendite.DAT"));
    QFile xml(folder + QStringLiteral("/Tavira.XML"));
    EXPECT_TRUE(xml.open(QIODevice::WriteOnly));
    xml.write("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<Tavira dataBaseName=\"" +
              database.toUtf8() +
              "\" debug=\"0\" terminal=\"1\" zefiroMaster=\"0\" toolbarShow=\"0\">\r\n  <DBServerName>" +
              server.toUtf8() +
              "</DBServerName>\r\n  <DBAdminUsername>sa</DBAdminUsername>\r\n  "
              "<DBAdminPassword></DBAdminPassword>\r\n  <DBUsername>" +
              user.toUtf8() + "</DBUsername>\r\n  <DBPassword>" + password.toUtf8() +
              "</DBPassword>\r\n</Tavira>\r\n");
    return folder;
}

Site SqlServerPath::embedded(const QString& name)
{
    Site made{site(name, QStringLiteral("sqlite:store"), QStringLiteral("TAVIRA_DEMO"),
                   QStringLiteral("demo"), QStringLiteral("demo")),
              QString()};
    QFile::copy(base(), made.store());
    return made;
}

Site SqlServerPath::served(const QString& name, const QString& password, const QString& store)
{
    QString why;
    const QString database = engine().load(store.isEmpty() ? base() : store, &why);
    EXPECT_FALSE(database.isEmpty()) << why.toStdString();
    return {site(name, engine().serverName(), database, engine().user(),
                 password.isEmpty() ? engine().password() : password),
            database};
}

QString SqlServerPath::result(const Site& site)
{
    if (site.database.isEmpty()) return site.store();
    const QString file = site.folder + QStringLiteral("/scaricato.sqlite");
    QString why;
    EXPECT_TRUE(engine().download(site.database, file, &why)) << why.toStdString();
    return file;
}

void SqlServerPath::start(QProcess& child, const QString& folder, const QStringList& switches)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ESPORTA_IMPORTA_DIR"), folder);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("ESPORTA_IMPORTA_ODBC_DRIVER"), QStringLiteral("FreeTDS"));
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral(EI_PROGRAM), QStringList{QStringLiteral("/A")} + switches);
}

int SqlServerPath::run(const QString& folder, const std::function<void(int)>& tick, int limitMs)
{
    QProcess child;
    start(child, folder, {QStringLiteral("/C"), QStringLiteral("/V")});
    bool reported = false;
    for (int waited = 0; waited < limitMs && !reported && !child.waitForFinished(250); waited += 250) {
        reported = QFile::exists(folder + QStringLiteral("/LogErrori.TXT"));
        if (tick) tick(waited);
    }
    if (reported) child.waitForFinished(1000); // the undoing has happened before the report
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished();
        return reported ? kErrorReport : -1;
    }
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
}
