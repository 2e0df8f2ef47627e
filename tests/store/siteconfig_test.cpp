#include "store/siteconfig.h"

#include "testfolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

namespace {
const QByteArray kAttributes =
    R"(zefiroCompression="1" zefiroBasePath="\\srv\z" dataBaseName="TAVIRA_NEGOZIO" debug="0" terminal="T01" )"
    R"(zefiroMaster="1" toolbarShow="0")";

const QByteArray kElements = "<DBServerName>SRV\\SQLEXPRESS</DBServerName>"
                             "<DBAdminUsername>sa</DBAdminUsername><DBAdminPassword>adm</DBAdminPassword>"
                             "<DBUsername>cassa</DBUsername><DBPassword>p;w}=d</DBPassword>";

QByteArray document(const QByteArray& attributes, const QByteArray& children)
{
    return "<?xml version=\"1.0\"?>\r\n<Tavira " + attributes + ">" + children + "</Tavira>";
}

QByteArray without(QByteArray text, const QByteArray& part)
{
    return text.replace(part, "");
}
} // namespace

class SiteConfiguration : public ProgramFolderTest
{
protected:
    bool read(const QByteArray& bytes)
    {
        writeBytes(QStringLiteral("Tavira.XML"), bytes);
        return LeggiConfigurazione(PercorsoConfigurazione());
    }
};

TEST_F(SiteConfiguration, PathIsTheFileInTheProgramFolder)
{
    EXPECT_EQ(PercorsoConfigurazione(),
              QDir::toNativeSeparators(folder()) + QDir::separator() + QStringLiteral("Tavira.XML"));
}

TEST_F(SiteConfiguration, FileNameInAnotherLetterCaseIsFound)
{
    writeBytes(QStringLiteral("TAVIRA.XML"), document(kAttributes, kElements));
    ASSERT_TRUE(LeggiConfigurazione(PercorsoConfigurazione()));
    EXPECT_EQ(configurazioneSito().utente, QStringLiteral("cassa"));
    // Where the name is there as written, that one is read.
    writeBytes(QStringLiteral("Tavira.XML"),
               document(kAttributes, QByteArray(kElements).replace("cassa", "banco")));
    ASSERT_TRUE(LeggiConfigurazione(PercorsoConfigurazione()));
    EXPECT_EQ(configurazioneSito().utente, QStringLiteral("banco"));
}

TEST_F(SiteConfiguration, CompleteFileGivesTheKeptValues)
{
    ASSERT_TRUE(read(document(kAttributes, kElements)));
    const ConfigurazioneSito& site = configurazioneSito();
    EXPECT_EQ(site.database, QStringLiteral("TAVIRA_NEGOZIO"));
    EXPECT_EQ(site.server, QStringLiteral("SRV\\SQLEXPRESS"));
    EXPECT_EQ(site.utente, QStringLiteral("cassa"));
    EXPECT_EQ(site.password, QStringLiteral("p;w}=d"));
    EXPECT_EQ(site.utenteAdmin, QStringLiteral("sa"));
    EXPECT_EQ(site.passwordAdmin, QStringLiteral("adm"));
    const AltriValoriSito& other = altriValoriSito();
    EXPECT_TRUE(other.compressioneZefiro);
    EXPECT_FALSE(other.debug);
    EXPECT_TRUE(other.masterZefiro);
    EXPECT_FALSE(other.mostraToolbar);
    EXPECT_EQ(other.terminale, QStringLiteral("T01"));
    // A local program folder: the base path is derived from it, the attribute is not read.
    EXPECT_EQ(other.percorsoZefiro,
              QDir::toNativeSeparators(folder()) + QDir::separator() + QStringLiteral("ZEFIRO"));
    EXPECT_EQ(other.portaScanner, QStringLiteral("0"));
    EXPECT_EQ(other.impostazioniScanner, QString());
    const QString defaults[5] = {"2100020", "2100021", "2100022", "2100023", "2100024"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(other.codiciBanco[i], defaults[i]) << i;
}

TEST_F(SiteConfiguration, AttributeAndElementRules)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
        bool accepted;
    } rows[] = {
        {"everything but toolbarShow", document(without(kAttributes, R"(toolbarShow="0")"), kElements),
         false},
        {"debug is a word",
         document(QByteArray(kAttributes).replace(R"(debug="0")", R"(debug="si")"), kElements), false},
        {"debug is empty",
         document(QByteArray(kAttributes).replace(R"(debug="0")", R"(debug="")"), kElements), false},
        {"debug is 0", document(kAttributes, kElements), true},
        {"debug is 1.0 with blanks",
         document(QByteArray(kAttributes).replace(R"(debug="0")", R"(debug=" 1.0 ")"), kElements), true},
        {"zefiroMaster missing", document(without(kAttributes, R"(zefiroMaster="1")"), kElements), false},
        {"terminal missing", document(without(kAttributes, R"(terminal="T01")"), kElements), false},
        {"terminal empty",
         document(QByteArray(kAttributes).replace(R"(terminal="T01")", R"(terminal="")"), kElements), true},
        {"no dataBaseName", document(without(kAttributes, R"(dataBaseName="TAVIRA_NEGOZIO")"), kElements),
         true},
        {"compression not 1",
         document(QByteArray(kAttributes).replace(R"(zefiroCompression="1")", R"(zefiroCompression="yes")"),
                  kElements),
         true},
        {"no optional elements", document(kAttributes, kElements), true},
        {"scanner complete",
         document(kAttributes, kElements + R"(<barcodeScannerCom port="3" settings="9600,n,8,1"/>)"), true},
        {"scanner without settings", document(kAttributes, kElements + R"(<barcodeScannerCom port="3"/>)"),
         false},
        {"scanner without port", document(kAttributes, kElements + R"(<barcodeScannerCom settings="x"/>)"),
         false},
        {"bank code present", document(kAttributes, kElements + R"(<bancobarcode2 code="99"/>)"), true},
        {"bank element without code", document(kAttributes, kElements + R"(<bancobarcode4/>)"), false},
        {"DBPassword missing", document(kAttributes, without(kElements, "<DBPassword>p;w}=d</DBPassword>")),
         false},
        {"DBAdminUsername missing",
         document(kAttributes, without(kElements, "<DBAdminUsername>sa</DBAdminUsername>")), false},
        {"names are case-sensitive",
         document(kAttributes, QByteArray(kElements).replace("DBUsername", "dbusername")), false},
        {"required element nested deeper",
         document(kAttributes, QByteArray(kElements).replace("<DBUsername>cassa</DBUsername>",
                                                             "<x><DBUsername>cassa</DBUsername></x>")),
         false},
        {"children in another order",
         document(kAttributes, "<DBPassword>p</DBPassword><DBUsername>u</DBUsername><DBAdminPassword/"
                               "><DBAdminUsername/><DBServerName>s</DBServerName>"),
         true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(read(row.bytes), row.accepted) << row.name;
}

TEST_F(SiteConfiguration, OptionalValuesWhenPresent)
{
    ASSERT_TRUE(
        read(document(kAttributes, kElements + R"(<barcodeScannerCom port="3" settings="9600,n,8,1"/>)"
                                               R"(<bancobarcode code="11"/><bancobarcode3 code=""/>)")));
    const AltriValoriSito& other = altriValoriSito();
    EXPECT_EQ(other.portaScanner, QStringLiteral("3"));
    EXPECT_EQ(other.impostazioniScanner, QStringLiteral("9600,n,8,1"));
    EXPECT_EQ(other.codiciBanco[0], QStringLiteral("11"));
    EXPECT_EQ(other.codiciBanco[1], QStringLiteral("2100021"));
    EXPECT_EQ(other.codiciBanco[3], QString());
}

TEST_F(SiteConfiguration, ElementTextIsKeptWhole)
{
    ASSERT_TRUE(
        read(document(kAttributes, "<DBServerName>SRV </DBServerName><DBAdminUsername>  </DBAdminUsername>"
                                   "<DBAdminPassword/><DBUsername>\tu n</DBUsername>"
                                   "<DBPassword> <![CDATA[a<b]]>&amp; </DBPassword>")));
    const ConfigurazioneSito& site = configurazioneSito();
    EXPECT_EQ(site.server, QStringLiteral("SRV "));
    EXPECT_EQ(site.utenteAdmin, QStringLiteral("  "));
    EXPECT_EQ(site.passwordAdmin, QString());
    EXPECT_EQ(site.utente, QStringLiteral("\tu n"));
    EXPECT_EQ(site.password, QStringLiteral(" a<b& "));
}

TEST_F(SiteConfiguration, BadFilesAreRefusedAndKeepThePreviousValues)
{
    ASSERT_TRUE(read(document(kAttributes, kElements)));
    QByteArray huge = document(kAttributes, kElements);
    huge.insert(huge.indexOf("<DBServerName>"), QByteArray(9 * 1024 * 1024, ' '));
    const struct
    {
        const char* name;
        QByteArray bytes;
    } rows[] = {
        {"empty file", QByteArray()},
        {"not XML", "DBServerName=SRV\r\n"},
        {"malformed", document(kAttributes, kElements).replace("</Tavira>", "</Taviraa>")},
        {"truncated", document(kAttributes, kElements).left(120)},
        {"wrong root", "<Config " + kAttributes + ">" + kElements + "</Config>"},
        {"root in lower case", "<tavira " + kAttributes + ">" + kElements + "</tavira>"},
        {"invalid UTF-8", document(kAttributes, kElements).replace("cassa", "cass\xE0")},
        {"unknown encoding", document(kAttributes, kElements)
                                 .replace("version=\"1.0\"", "version=\"1.0\" encoding=\"x-nessuna\"")},
        {"UTF-16 declared, bytes are not",
         document(kAttributes, kElements).replace("version=\"1.0\"", "version=\"1.0\" encoding=\"UTF-16\"")},
        {"binary noise", QByteArray("\x00\xFF\xFE\x01<Tavira", 11)},
        {"over the size limit", huge},
    };
    for (const auto& row : rows)
        EXPECT_FALSE(read(row.bytes)) << row.name;
    EXPECT_FALSE(LeggiConfigurazione(path(QStringLiteral("Assente.XML"))));
    EXPECT_FALSE(LeggiConfigurazione(folder())); // a folder, not a file
    EXPECT_EQ(configurazioneSito().utente, QStringLiteral("cassa"));
}

TEST_F(SiteConfiguration, NestingFarBeyondTheFilesIsRefusedQuickly)
{
    const auto nested = [](int levels) {
        return "<Extra>" + QByteArray("<a>").repeated(levels) + QByteArray("</a>").repeated(levels) +
               "</Extra>";
    };
    const struct
    {
        const char* name;
        int levels;
        bool accepted;
    } rows[] = {{"a few levels in an extra element", 10, true}, {"200,000 levels", 200000, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_EQ(read(document(kAttributes, nested(row.levels) + kElements)), row.accepted);
        EXPECT_LT(elapsed.elapsed(), 2000);
    }
}

TEST_F(SiteConfiguration, EncodingsTheProductWrites)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
    } rows[] = {
        {"Windows-1252", document(kAttributes, kElements)
                             .replace("cassa", "cass\xE0\x80")
                             .replace("version=\"1.0\"", "version=\"1.0\" encoding=\"Windows-1252\"")},
        {"UTF-8 with a mark",
         "\xEF\xBB\xBF" + document(kAttributes, kElements).replace("cassa", "cass\xC3\xA0\xE2\x82\xAC")},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(read(row.bytes)) << row.name;
        EXPECT_EQ(configurazioneSito().utente, QStringLiteral("cassà€")) << row.name;
    }
    QByteArray utf16;
    const QString text = QString::fromUtf8(
        document(kAttributes, kElements).replace("version=\"1.0\"", "version=\"1.0\" encoding=\"UTF-16\""));
    utf16.append("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    ASSERT_TRUE(read(utf16));
    EXPECT_EQ(configurazioneSito().password, QStringLiteral("p;w}=d"));
}

TEST(ZefiroBasePath, NetworkFoldersTakeTheAttribute)
{
    const QString value = QStringLiteral("\\\\srv\\z");
    EXPECT_EQ(percorsoZefiro(QStringLiteral("\\\\srv\\share\\prog"), &value), value);
    EXPECT_EQ(percorsoZefiro(QStringLiteral("//srv/share/prog"), &value), value);
    EXPECT_EQ(percorsoZefiro(QStringLiteral("\\\\srv\\share\\prog"), nullptr), QString());
    EXPECT_EQ(percorsoZefiro(QStringLiteral("/opt/prog"), &value),
              QStringLiteral("/opt/prog") + QDir::separator() + QStringLiteral("ZEFIRO"));
    EXPECT_EQ(percorsoZefiro(QStringLiteral("C:\\"), &value), QStringLiteral("C:\\ZEFIRO"));
}
