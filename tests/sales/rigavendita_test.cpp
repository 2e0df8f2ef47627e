#include "sales/rigavendita.h"

#include "qtprinting.h"
#include "services/textfile.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {
// A valid line, field by field as the sales layout gives it.
const QString kRiga = QStringLiteral("S1             "                             // 1-15 sale
                                     "20261207"                                    // 16-23 date
                                     "0905"                                        // 24-27 time
                                     "0001"                                        // 28-31 row
                                     "000000004711"                                // 32-43 issue
                                     "9771234567003"                               // 44-56 barcode
                                     "00012"                                       // 57-61 add-on
                                     "        3"                                   // 62-70 quantity
                                     "000000250"                                   // 71-79 price in cents
                                     "NOTE DEL NEGOZIO, NON LETTE DAL PROGRAMMA"); // 80-120

QString conCampo(int from, const QString& text)
{
    QString line = kRiga;
    line.replace(from - 1, text.size(), text);
    return line;
}

// The same from raw Windows-1252 bytes, as the reader hands them over.
QString conByte(int from, const QByteArray& bytes)
{
    return conCampo(from, decodificaAnsi(bytes));
}

RigaVendita attesa()
{
    RigaVendita v;
    v.idVendita = QStringLiteral("S1");
    v.idRiga = QStringLiteral("0001");
    v.data = QDate(2026, 12, 7);
    v.ora = QStringLiteral("09:05");
    v.idUscita = 4711;
    v.barcode = QStringLiteral("9771234567003");
    v.addon = QStringLiteral("00012");
    v.quantita = 3;
    v.prezzo = 2.50;
    return v;
}

struct Caso
{
    const char* nome;
    QString riga;
    std::optional<Scarto> scarto;
    std::function<void(RigaVendita&)> cambia = [](RigaVendita&) {};
};

void PrintTo(const Caso& c, std::ostream* out)
{
    *out << c.nome;
}

class Decodifica : public ::testing::TestWithParam<Caso>
{
};

TEST_P(Decodifica, Riga)
{
    const Caso& c = GetParam();
    ASSERT_EQ(c.riga.size() == 120, !c.scarto || *c.scarto != Scarto::LunghezzaErrata) << "test line length";
    const RigaDecodificata r = decodificaRigaVendita(c.riga);
    ASSERT_EQ(r.scarto, c.scarto);
    if (c.scarto) return;
    RigaVendita e = attesa();
    c.cambia(e);
    EXPECT_EQ(r.vendita.idVendita, e.idVendita);
    EXPECT_EQ(r.vendita.idRiga, e.idRiga);
    EXPECT_EQ(r.vendita.data, e.data);
    EXPECT_EQ(r.vendita.ora, e.ora);
    EXPECT_EQ(r.vendita.idUscita, e.idUscita);
    EXPECT_EQ(r.vendita.barcode, e.barcode);
    EXPECT_EQ(r.vendita.addon, e.addon);
    EXPECT_EQ(r.vendita.quantita, e.quantita);
    EXPECT_EQ(r.vendita.prezzo, e.prezzo);
}

const Caso kCasi[] = {
    {"Valid", kRiga, {}},
    {"Length119", kRiga.left(119), Scarto::LunghezzaErrata},
    {"Length121", kRiga + QLatin1Char(' '), Scarto::LunghezzaErrata},
    {"EmptyLine", QString(), Scarto::LunghezzaErrata},
    {"BlankSale", conCampo(1, QString(15, QLatin1Char(' '))), Scarto::IDMovimentoAssente},
    {"SalePaddedBothSides",
     conCampo(1, QStringLiteral("  S 1          ")),
     {},
     [](RigaVendita& v) { v.idVendita = QStringLiteral("S 1"); }},
    {"SaleWithQuote",
     conCampo(1, QStringLiteral("O'BRIEN'--     ")),
     {},
     [](RigaVendita& v) { v.idVendita = QStringLiteral("O'BRIEN'--"); }},
    {"Row0", conCampo(28, QStringLiteral("   0")), Scarto::RigaAssente},
    {"Row0000", conCampo(28, QStringLiteral("0000")), Scarto::RigaAssente},
    {"RowBlank", conCampo(28, QStringLiteral("    ")), Scarto::RigaAssente},
    {"RowMinus3", conCampo(28, QStringLiteral("  -3")), Scarto::RigaAssente},
    {"RowLetters", conCampo(28, QStringLiteral("AB  ")), Scarto::RigaNonValida},
    {"RowDigitsThenLetter", conCampo(28, QStringLiteral("12X ")), Scarto::RigaNonValida},
    {"RowPadded", conCampo(28, QStringLiteral(" 12 ")), {}, [](RigaVendita& v) { v.idRiga = "12"; }},
    {"Feb30",
     conCampo(16, QStringLiteral("20260230")),
     {},
     [](RigaVendita& v) { v.data = QDate(1900, 1, 1); }},
    {"Year1949",
     conCampo(16, QStringLiteral("1949")),
     {},
     [](RigaVendita& v) { v.data = QDate(1900, 12, 7); }},
    {"Year2051",
     conCampo(16, QStringLiteral("2051")),
     {},
     [](RigaVendita& v) { v.data = QDate(1900, 12, 7); }},
    {"TwoDigitYear",
     conCampo(16, QStringLiteral("  26")),
     {},
     [](RigaVendita& v) { v.data = QDate(1900, 12, 7); }},
    {"Month13", conCampo(20, QStringLiteral("13")), {}, [](RigaVendita& v) { v.data = QDate(2026, 1, 7); }},
    {"YearLetters",
     conCampo(16, QStringLiteral("ABCD")),
     {},
     [](RigaVendita& v) { v.data = QDate(1900, 12, 7); }},
    {"MonthLetters",
     conCampo(20, QStringLiteral("AB")),
     {},
     [](RigaVendita& v) { v.data = QDate(2026, 1, 7); }},
    {"DayLetters",
     conCampo(22, QStringLiteral("XY")),
     {},
     [](RigaVendita& v) { v.data = QDate(2026, 12, 1); }},
    {"DayPadded", conCampo(22, QStringLiteral(" 7")), {}},
    {"Hour24", conCampo(24, QStringLiteral("24")), {}, [](RigaVendita& v) { v.ora = "00:05"; }},
    {"Time2460", conCampo(24, QStringLiteral("2460")), {}, [](RigaVendita& v) { v.ora = "00:00"; }},
    {"TimeBlankBeside", conCampo(24, QStringLiteral(" 95 ")), {}},
    {"TimeLetters", conCampo(24, QStringLiteral("HHMM")), {}, [](RigaVendita& v) { v.ora = "00:00"; }},
    {"IssueLetters",
     conCampo(32, QStringLiteral("ABC         ")),
     {},
     [](RigaVendita& v) { v.idUscita = 0; }},
    {"IssueMinus12",
     conCampo(32, QStringLiteral("         -12")),
     {},
     [](RigaVendita& v) { v.idUscita = 0; }},
    {"IssueHalfToEven",
     conCampo(32, QStringLiteral("      4710.5")),
     {},
     [](RigaVendita& v) { v.idUscita = 4710; }},
    {"IssueMax",
     conCampo(32, QStringLiteral("  2147483647")),
     {},
     [](RigaVendita& v) { v.idUscita = 2147483647; }},
    {"IssueBeyondMax", conCampo(32, QStringLiteral("  2147483648")), Scarto::IDUscitaNonValido},
    {"IssueHalfRoundsBeyond", conCampo(32, QStringLiteral("2147483647.5")), Scarto::IDUscitaNonValido},
    {"BarcodeAndAddonTrimmed",
     conCampo(44, QStringLiteral("  977123     12   ")),
     {},
     [](RigaVendita& v) {
         v.barcode = "977123";
         v.addon = "12";
     }},
    {"QuantityMinus1",
     conCampo(62, QStringLiteral("       -1")),
     {},
     [](RigaVendita& v) { v.quantita = -1; }},
    {"QuantityLetters",
     conCampo(62, QStringLiteral("TRE      ")),
     {},
     [](RigaVendita& v) { v.quantita = 0; }},
    {"QuantityMax",
     conCampo(62, QStringLiteral("    32767")),
     {},
     [](RigaVendita& v) { v.quantita = 32767; }},
    {"QuantityBeyondMax", conCampo(62, QStringLiteral("    32768")), Scarto::QuantitaNonValida},
    {"QuantityMin",
     conCampo(62, QStringLiteral("   -32768")),
     {},
     [](RigaVendita& v) { v.quantita = -32768; }},
    {"QuantityBeyondMin", conCampo(62, QStringLiteral("   -32769")), Scarto::QuantitaNonValida},
    {"QuantityExponent",
     conCampo(62, QStringLiteral("      1e3")),
     {},
     [](RigaVendita& v) { v.quantita = 0; }},
    {"PriceExponent", conCampo(71, QStringLiteral("      1e3")), {}, [](RigaVendita& v) { v.prezzo = 0; }},
    {"PriceBlankPadded",
     conCampo(71, QStringLiteral("      199")),
     {},
     [](RigaVendita& v) { v.prezzo = 1.99; }},
    {"PriceLetters", conCampo(71, QStringLiteral("EURO     ")), {}, [](RigaVendita& v) { v.prezzo = 0; }},
    {"PriceHalfCentToEven",
     conCampo(71, QStringLiteral("      1.5")),
     {},
     [](RigaVendita& v) { v.prezzo = 0.02; }},
    {"HighBytesAndNulInFreePart", conByte(80, QByteArray("\x80\x81\xA0\xFF\0\xE9", 6)), {}},
    {"HighBytesAndNulInSale",
     conByte(1, QByteArray("\xC0\0\x80 ", 4)),
     {},
     [](RigaVendita& v) { v.idVendita = decodificaAnsi(QByteArray("\xC0\0\x80", 3)); }},
    {"NulInQuantity",
     conByte(62, QByteArray("\0\0\0\0\0\0\0\0"
                            "5",
                            9)),
     {},
     [](RigaVendita& v) { v.quantita = 0; }},
    {"HighByteInRow", conByte(28, QByteArray("1\xB9  ", 4)), Scarto::RigaNonValida},
};

INSTANTIATE_TEST_SUITE_P(Casi, Decodifica, ::testing::ValuesIn(kCasi),
                         [](const ::testing::TestParamInfo<Caso>& info) { return info.param.nome; });

TEST(MotivoScarto, OnlyAWrongLengthStaysOutOfTheRejectedFile)
{
    EXPECT_FALSE(vaNelFileSaltati(Scarto::LunghezzaErrata));
    EXPECT_TRUE(vaNelFileSaltati(Scarto::RigaNonValida));
    EXPECT_EQ(testoScarto(Scarto::QuantitaNonValida), QStringLiteral("SALTATA: Quantità non Valida"));
}
} // namespace
