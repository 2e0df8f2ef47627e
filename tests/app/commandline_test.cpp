#include "app/core/commandline.h"
#include "qtprinting.h"

#include <gtest/gtest.h>

namespace {
struct SwitchCase
{
    const char* line;
    bool a;
    bool c;
    bool v;
};

class SwitchTable : public ::testing::TestWithParam<SwitchCase>
{
};

TEST_P(SwitchTable, SubstringsOfTheUpperCasedText)
{
    const SwitchCase& row = GetParam();
    const SwitchAvvio switches = leggiSwitch(QString::fromUtf8(row.line));
    EXPECT_EQ(switches.senzaAccesso, row.a) << row.line;
    EXPECT_EQ(switches.autoCatalogo, row.c) << row.line;
    EXPECT_EQ(switches.autoVendite, row.v) << row.line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SwitchTable,
    ::testing::Values(SwitchCase{"", false, false, false}, SwitchCase{"/A", true, false, false},
                      SwitchCase{"/C", false, true, false}, SwitchCase{"/V", false, false, true},
                      SwitchCase{"/a /c", true, true, false}, SwitchCase{"/c/v", false, true, true},
                      SwitchCase{"/CV", false, true, false}, SwitchCase{"/VC", false, false, true},
                      SwitchCase{"/A /C /V", true, true, true}, SwitchCase{"/v/A", true, false, true},
                      SwitchCase{"A C V", false, false, false}, SwitchCase{"-a -c -v", false, false, false},
                      SwitchCase{"\"C:\\Programmi\\Vetrina\\dati.txt\"", false, false, false},
                      // Folders written with "/" hold switches by the same substring rule.
                      SwitchCase{"/home/negozio/archivio/vendite", true, false, true},
                      SwitchCase{"--config=/etc/cassa", false, true, false},
                      SwitchCase{"/à/è /c", false, true, false}));

TEST(SwitchTable, VeryLongText)
{
    const QString filler(200000, QLatin1Char('x'));
    const SwitchAvvio none = leggiSwitch(filler);
    EXPECT_FALSE(none.senzaAccesso || none.autoCatalogo || none.autoVendite);
    const SwitchAvvio last = leggiSwitch(filler + QStringLiteral(" /v"));
    EXPECT_TRUE(last.autoVendite);
    EXPECT_FALSE(last.autoCatalogo);
}

TEST(CommandLineText, ArgumentsAfterTheProgramNameJoinedWithBlanks)
{
    EXPECT_EQ(testoRigaComando({QStringLiteral("esporta-importa")}), QString());
    EXPECT_EQ(testoRigaComando({}), QString());
    EXPECT_EQ(testoRigaComando(
                  {QStringLiteral("/opt/esporta-importa"), QStringLiteral("/a"), QStringLiteral("/c")}),
              QStringLiteral("/a /c"));
    // The program's own path never counts: "/opt/cassa/VENDITE" is not a switch here.
    const QString line = testoRigaComando({QStringLiteral("/opt/cassa/VENDITE"), QStringLiteral("/A")});
    EXPECT_FALSE(leggiSwitch(line).autoVendite);
    EXPECT_FALSE(leggiSwitch(line).autoCatalogo);
}
} // namespace
