#include "store/connectionstrings.h"
#include "store/odbcstring.h"

#include <gtest/gtest.h>

#include <optional>

TEST(ProviderStrings, ExactTextsNothingEscapedOrTrimmed)
{
    EXPECT_EQ(
        StringaConnessioneMaster(QStringLiteral("SRV\\SQL "), QStringLiteral("sa"), QStringLiteral("p;w=")),
        QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;Password=p;w=;"
                       "Initial Catalog=master;Data Source=SRV\\SQL "));
    EXPECT_EQ(
        StringaConnessione(QStringLiteral("SRV"), QStringLiteral("u"), QString(), QStringLiteral("TAVIRA")),
        QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=u;Password=;"
                       "Initial Catalog= TAVIRA;Data Source=SRV"));
    impostaStringaConnessioneCorrente(QStringLiteral("ultima"));
    EXPECT_EQ(stringaConnessioneCorrente(), QStringLiteral("ultima"));
}

class OdbcString : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qunsetenv("ESPORTA_IMPORTA_ODBC_EXTRA");
        qunsetenv("ESPORTA_IMPORTA_ODBC_DRIVER");
    }
    void TearDown() override { SetUp(); }
};

TEST_F(OdbcString, SettingsMapOntoDriverKeys)
{
    const QString kMsDriver = QStringLiteral("ODBC Driver 18 for SQL Server");
    const QString kFreeTds = QStringLiteral("FreeTDS");
    const struct
    {
        const char* name;
        ImpostazioniConnessione settings;
        QString driver;
        std::optional<QString> expected; // nothing: refused
    } rows[] = {
        {"plain values, FreeTDS",
         {"SRV", "cassa", "segreta", "TAVIRA"},
         kFreeTds,
         QStringLiteral("DRIVER={FreeTDS};Server={SRV};Database={TAVIRA};UID={cassa};PWD={segreta};"
                        "ClientCharset=UTF-8;TDS_Version=7.4")},
        {"host and port become Server and Port for FreeTDS",
         {" 10.0.0.5,1433 ", "u", "p", " TAVIRA "},
         kFreeTds,
         QStringLiteral("DRIVER={FreeTDS};Server={10.0.0.5};Port=1433;Database={TAVIRA};UID={u};PWD={p};"
                        "ClientCharset=UTF-8;TDS_Version=7.4")},
        {"named instance kept as written",
         {"SRV\\SQLEXPRESS", "u", "p", "master"},
         kFreeTds,
         QStringLiteral("DRIVER={FreeTDS};Server={SRV\\SQLEXPRESS};Database={master};UID={u};PWD={p};"
                        "ClientCharset=UTF-8;TDS_Version=7.4")},
        {"host and port kept whole for Microsoft's driver",
         {"SRV,1500", "u", "p", "TAVIRA"},
         kMsDriver,
         QStringLiteral(
             "DRIVER={ODBC Driver 18 for SQL Server};Server={SRV,1500};Database={TAVIRA};UID={u};PWD={p};"
             "Encrypt=Optional")},
        {"password with ; } and = is braced, } doubled",
         {"SRV", "u", "a;b}c=d", "TAVIRA"},
         kMsDriver,
         QStringLiteral("DRIVER={ODBC Driver 18 for SQL Server};Server={SRV};Database={TAVIRA};UID={u};"
                        "PWD={a;b}}c=d};Encrypt=Optional")},
        {"an attempt to add a key stays inside the value",
         {"SRV", "u", "x};Trusted_Connection=yes;{", "T"},
         kMsDriver,
         QStringLiteral("DRIVER={ODBC Driver 18 for SQL Server};Server={SRV};Database={T};UID={u};"
                        "PWD={x}};Trusted_Connection=yes;{};Encrypt=Optional")},
        {"password with ; and = through FreeTDS",
         {"SRV", "u", "a;b=c{", "T"},
         kFreeTds,
         QStringLiteral("DRIVER={FreeTDS};Server={SRV};Database={T};UID={u};PWD={a;b=c{};"
                        "ClientCharset=UTF-8;TDS_Version=7.4")},
        {"no database: the login's default",
         {"SRV", "u", "p", "  "},
         kMsDriver,
         QStringLiteral("DRIVER={ODBC Driver 18 for SQL "
                        "Server};Server={SRV};UID={u};PWD={p};Encrypt=Optional")},
        {"blanks inside the password are kept",
         {"SRV", " u ", " p ", "T"},
         kMsDriver,
         QStringLiteral(
             "DRIVER={ODBC Driver 18 for SQL Server};Server={SRV};Database={T};UID={ u };PWD={ p };"
             "Encrypt=Optional")},
        {"bare values for a driver that keeps braces",
         {"SRV", "u", "p w", "/srv/TAVIRA.sqlite"},
         QStringLiteral("SQLite3"),
         QStringLiteral("DRIVER={SQLite3};Server=SRV;Database=/srv/TAVIRA.sqlite;UID=u;PWD=p w")},
        {"a later Microsoft driver encrypts when the server asks",
         {"SRV", "u", "p", "T"},
         QStringLiteral("ODBC Driver 19 for SQL Server"),
         QStringLiteral("DRIVER={ODBC Driver 19 for SQL Server};Server={SRV};Database={T};UID={u};PWD={p};"
                        "Encrypt=Optional")},
        {"an older Microsoft driver keeps its own default",
         {"SRV", "u", "p", "T"},
         QStringLiteral("ODBC Driver 17 for SQL Server"),
         QStringLiteral("DRIVER={ODBC Driver 17 for SQL Server};Server={SRV};Database={T};UID={u};PWD={p}")},
        {"; refused where values go bare", {"SRV", "u", "a;b", "T"}, QStringLiteral("SQLite3"), std::nullopt},
        {"edge blanks refused where values go bare",
         {"SRV", "u", "pw ", "T"},
         QStringLiteral("SQLite3"),
         std::nullopt},
        {"} in the password refused for FreeTDS", {"SRV", "u", "a;b}c=d", "TAVIRA"}, kFreeTds, std::nullopt},
        {"} in the user refused for FreeTDS", {"SRV", "u}", "p", "TAVIRA"}, kFreeTds, std::nullopt},
        {"} in the database refused for FreeTDS", {"SRV", "u", "p", "TA}VIRA"}, kFreeTds, std::nullopt},
        {"FreeTDS named by its library",
         {"SRV", "u", "p}", "T"},
         QStringLiteral("/usr/lib/odbc/libtdsodbc.so"),
         std::nullopt},
        {"a NUL character is refused for any driver",
         {"SRV", "u", QStringLiteral("a") + QChar(0), "T"},
         kMsDriver,
         std::nullopt},
    };
    for (const auto& row : rows) {
        std::optional<QString> built;
        try {
            built = stringaOdbc(row.settings, row.driver);
        } catch (const ConnessioneRifiutata& refused) {
            EXPECT_FALSE(refused.description().contains(row.settings.password) &&
                         !row.settings.password.isEmpty())
                << row.name << ": the message shows the password";
        }
        EXPECT_EQ(built, row.expected) << row.name;
    }
}

TEST_F(OdbcString, DriverChoiceAndExtraKeys)
{
#ifdef Q_OS_WIN
    EXPECT_EQ(driverOdbc(), QStringLiteral("ODBC Driver 18 for SQL Server"));
#else
    EXPECT_EQ(driverOdbc(), QStringLiteral("FreeTDS"));
#endif
    qputenv("ESPORTA_IMPORTA_ODBC_DRIVER", " ODBC Driver 17 for SQL Server ");
    EXPECT_EQ(driverOdbc(), QStringLiteral("ODBC Driver 17 for SQL Server"));
    qputenv("ESPORTA_IMPORTA_ODBC_EXTRA", "TrustServerCertificate=yes");
    EXPECT_EQ(stringaOdbc({"S", "u", "p", "T"}, driverOdbc()),
              QStringLiteral("DRIVER={ODBC Driver 17 for SQL Server};Server={S};Database={T};UID={u};PWD={p};"
                             "TrustServerCertificate=yes"));
}

TEST_F(OdbcString, EncryptionOfDriver18CanBeSetFromTheEnvironment)
{
    const struct
    {
        const char* name;
        const char* extra;
        QString tail;
    } rows[] = {
        {"nothing set", "", QStringLiteral("Encrypt=Optional")},
        {"certificate trusted, encryption as the server asks", "TrustServerCertificate=yes",
         QStringLiteral("Encrypt=Optional;TrustServerCertificate=yes")},
        {"strict encryption replaces the default", "Encrypt=Strict", QStringLiteral("Encrypt=Strict")},
        {"key in another case, blanks around it", "TrustServerCertificate=yes; encrypt =yes",
         QStringLiteral("TrustServerCertificate=yes; encrypt =yes")},
    };
    for (const auto& row : rows) {
        qputenv("ESPORTA_IMPORTA_ODBC_EXTRA", row.extra);
        const QString built =
            stringaOdbc({"S", "u", "p", "T"}, QStringLiteral("ODBC Driver 18 for SQL Server"));
        EXPECT_EQ(built,
                  QStringLiteral("DRIVER={ODBC Driver 18 for SQL Server};Server={S};Database={T};UID={u};"
                                 "PWD={p};") +
                      row.tail)
            << row.name;
    }
}
