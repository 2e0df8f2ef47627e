#include "catalog/catalogrecord.h"

#include "qtprinting.h"
#include "services/textfile.h"

#include <QDate>
#include <QDateTime>

#include <gtest/gtest.h>

namespace {
// The worked example, field by field as the catalog layout gives it.
const QString kEsempio = QStringLiteral("000000004711"         // 1 issue identifier
                                        "977123456700300012"   // 2 barcode with add-on
                                        "IL MIO GIARDINO     " // 3 title
                                        "MENSILE             " // 4 subtitle
                                        "12      "             // 5 cover number
                                        "20260605"             // 6 on-sale date
                                        "060"                  // 7 return days
                                        "00"                   // 8 constant
                                        "000000350"            // 9 price in cents
                                        "             "        // 10 filler
                                        "+000004"              // 11 stock
                                        "000000000815"         // 12 title identifier
                                        "        ");           // 13 filler

// The worked example with the text at 1-based position `from` replaced (same length).
QString conCampo(int from, const QString& text)
{
    QString line = kEsempio;
    line.replace(from - 1, text.size(), text);
    return line;
}

QString spazi(int n)
{
    return QString(n, QLatin1Char(' '));
}

// The example's rows as SQLite gives them: integers, decimal text, ISO date text.
QVariantMap titoloEsempio()
{
    return {{"IDProd", qlonglong(815)},
            {"BarcodeTitolo", "9771234567003"},
            {"Testata", "IL MIO GIARDINO"},
            {"SottoTitolo", "MENSILE"},
            {"GiorniScadenzaResa", qlonglong(60)},
            {"Zefiro", 1},
            {"IDTipoProdotto", qlonglong(1)}};
}
QVariantMap uscitaEsempio()
{
    return {{"IDUscita", qlonglong(4711)},
            {"BarcodeAddon", QVariant()},
            {"Addon", "12"},
            {"NumeroCopertina", "12"},
            {"DataUscita", "2026-06-05"},
            {"PrezzoCopertinaEuroDistributore", "3.50"},
            {"Giacenza", "4"}};
}

struct Caso
{
    const char* nome;
    QVariantMap titolo; // values replacing the example's
    QVariantMap uscita;
    QString atteso;
};

QVariantMap unisci(QVariantMap base, const QVariantMap& changes)
{
    for (auto it = changes.begin(); it != changes.end(); ++it)
        base[it.key()] = it.value();
    return base;
}

const QVariant kNull;

void verifica(const Caso& caso)
{
    const RigaMappa titolo(unisci(titoloEsempio(), caso.titolo));
    const RigaMappa uscita(unisci(uscitaEsempio(), caso.uscita));
    const QString record = ComponiRigaCatalogo(titolo, uscita);
    EXPECT_EQ(record, caso.atteso) << caso.nome;
    EXPECT_EQ(record.size(), 140) << caso.nome;
    EXPECT_EQ(codificaAnsi(record).size(), 140) << caso.nome;
}
} // namespace

TEST(RigaCatalogo, WorkedExampleFromEitherEngine)
{
    const Caso casi[] = {
        {"values as the embedded store gives them", {}, {}, kEsempio},
        {"values as the server client gives them",
         {{"IDProd", 815}, {"GiorniScadenzaResa", short(60)}},
         {{"IDUscita", 4711},
          {"Addon", "12"},
          {"DataUscita", QDateTime(QDate(2026, 6, 5), QTime(0, 0))},
          {"PrezzoCopertinaEuroDistributore", 3.5},
          {"Giacenza", 4.0}},
         kEsempio},
        {"every value as text",
         {{"IDProd", "815"}, {"GiorniScadenzaResa", "60"}},
         {{"IDUscita", "4711"},
          {"PrezzoCopertinaEuroDistributore", "3.5000"},
          {"Giacenza", "4.00"},
          {"DataUscita", QDate(2026, 6, 5)}},
         kEsempio},
    };
    for (const Caso& caso : casi)
        verifica(caso);
}

TEST(RigaCatalogo, NullEverywhere)
{
    const RigaMappa nothing({});
    const QString expected = QStringLiteral("000000000000") + QStringLiteral("000000000000000000") +
                             spazi(20) + spazi(20) + spazi(8) + QStringLiteral("19000101") +
                             QStringLiteral("000") + QStringLiteral("00") + QStringLiteral("000000000") +
                             spazi(13) + QStringLiteral("+000000") + QStringLiteral("000000000000") +
                             spazi(8);
    EXPECT_EQ(ComponiRigaCatalogo(nothing, nothing), expected);

    QVariantMap nullTitle, nullIssue;
    for (const char* c : {"IDProd", "BarcodeTitolo", "Testata", "SottoTitolo", "GiorniScadenzaResa"})
        nullTitle[c] = kNull;
    for (const char* c : {"IDUscita", "BarcodeAddon", "Addon", "NumeroCopertina", "DataUscita",
                          "PrezzoCopertinaEuroDistributore", "Giacenza"})
        nullIssue[c] = kNull;
    EXPECT_EQ(ComponiRigaCatalogo(RigaMappa(nullTitle), RigaMappa(nullIssue)), expected);
}

TEST(RigaCatalogo, TextFields)
{
    const Caso casi[] = {
        {"null title", {{"Testata", kNull}}, {}, conCampo(31, spazi(20))},
        {"25-character title keeps its first 20",
         {{"Testata", "ABCDEFGHIJKLMNOPQRSTUVWXY"}},
         {},
         conCampo(31, "ABCDEFGHIJKLMNOPQRST")},
        {"title trimmed of blanks", {{"Testata", "   IL MIO GIARDINO   "}}, {}, kEsempio},
        {"null subtitle", {{"SottoTitolo", kNull}}, {}, conCampo(51, spazi(20))},
        {"cover number cut to 8", {}, {{"NumeroCopertina", " 123456789 "}}, conCampo(71, "12345678")},
        {"numeric cover number", {}, {{"NumeroCopertina", 12}}, kEsempio},
        {"characters outside Windows-1252 count one each",
         {{"Testata", QString::fromUtf8("CAFÉ ☕ 日本 \U0001F600!")}},
         {},
         conCampo(31, QString::fromUtf8("CAFÉ ? ?? ?!        "))},
        {"line breaks inside a text become blanks",
         {{"Testata", "RIGA\r\nDUE\tTRE"}},
         {},
         conCampo(31, "RIGA  DUE TRE       ")},
    };
    for (const Caso& caso : casi)
        verifica(caso);
}

TEST(RigaCatalogo, Barcode)
{
    const Caso casi[] = {
        {"18-character add-on barcode with inner blanks",
         {},
         {{"BarcodeAddon", "97712 3456700 0012"}},
         conCampo(13, "977120345670000012")},
        {"18 characters with a leading blank: trimmed, refilled, blanks to zeros",
         {},
         {{"BarcodeAddon", " 97712345670030001"}},
         conCampo(13, "977123456700300010")},
        {"17-character add-on barcode is ignored", {}, {{"BarcodeAddon", "97712345670030001"}}, kEsempio},
        {"19-character add-on barcode is ignored", {}, {{"BarcodeAddon", "9771234567003000123"}}, kEsempio},
        {"18 blanks become 18 zeros", {}, {{"BarcodeAddon", spazi(18)}}, conCampo(13, "000000000000000000")},
        {"14-character title barcode keeps its rightmost 13",
         {{"BarcodeTitolo", "19771234567003"}},
         {},
         kEsempio},
        {"short title barcode is zero-filled",
         {{"BarcodeTitolo", " 12345 "}},
         {},
         conCampo(13, "000000001234500012")},
        {"six-digit add-on keeps its last five",
         {},
         {{"Addon", "123456"}},
         conCampo(13, "977123456700323456")},
        {"null add-on", {}, {{"Addon", kNull}}, conCampo(13, "977123456700300000")},
        {"null title barcode", {{"BarcodeTitolo", kNull}}, {}, conCampo(13, "000000000000000012")},
        {"numeric add-on", {}, {{"Addon", 7}}, conCampo(13, "977123456700300007")},
    };
    for (const Caso& caso : casi)
        verifica(caso);
}

TEST(RigaCatalogo, OnSaleDate)
{
    const QString sentinel = conCampo(79, "19000101");
    const Caso casi[] = {
        {"31 December 1949", {}, {{"DataUscita", "1949-12-31"}}, sentinel},
        {"1 January 1950", {}, {{"DataUscita", "1950-01-01 00:00:00"}}, conCampo(79, "19500101")},
        {"1 January 2050 at 00:00", {}, {{"DataUscita", "2050-01-01 00:00:00"}}, conCampo(79, "20500101")},
        {"1 January 2050 at 00:00 as a date",
         {},
         {{"DataUscita", QDate(2050, 1, 1)}},
         conCampo(79, "20500101")},
        {"1 January 2050 at 00:01", {}, {{"DataUscita", "2050-01-01 00:01:00"}}, sentinel},
        {"1 January 2050 at 00:01 as a date-time",
         {},
         {{"DataUscita", QDateTime(QDate(2050, 1, 1), QTime(0, 1))}},
         sentinel},
        {"1 January 2050 one millisecond after midnight",
         {},
         {{"DataUscita", "2050-01-01 00:00:00.001"}},
         sentinel},
        {"2 January 2050", {}, {{"DataUscita", "2050-01-02"}}, sentinel},
        {"null date", {}, {{"DataUscita", kNull}}, sentinel},
        {"time of day dropped", {}, {{"DataUscita", "2026-06-05T18:45:10"}}, kEsempio},
        {"Italian short date text", {}, {{"DataUscita", "05/06/2026"}}, kEsempio},
        {"text that is no date", {}, {{"DataUscita", "domani"}}, sentinel},
        {"impossible day", {}, {{"DataUscita", "2026-02-30"}}, sentinel},
        {"a number is no date", {}, {{"DataUscita", 20260605}}, sentinel},
    };
    for (const Caso& caso : casi)
        verifica(caso);
}

TEST(RigaCatalogo, ReturnDaysAndPrice)
{
    const Caso casi[] = {
        {"1500 days keep the last three digits", {{"GiorniScadenzaResa", 1500}}, {}, conCampo(87, "500")},
        {"days beyond the 16-bit range", {{"GiorniScadenzaResa", 32768}}, {}, conCampo(87, "768")},
        {"null days", {{"GiorniScadenzaResa", kNull}}, {}, conCampo(87, "000")},
        {"days as text that is no number", {{"GiorniScadenzaResa", "sessanta"}}, {}, conCampo(87, "000")},
        {"days 59.5 round to even 60", {{"GiorniScadenzaResa", "59.5"}}, {}, kEsempio},
        {"days 60.5 round to even 60", {{"GiorniScadenzaResa", 60.5}}, {}, kEsempio},
        {"negative days", {{"GiorniScadenzaResa", -5}}, {}, conCampo(87, "0-5")},
        {"price 3.5", {}, {{"PrezzoCopertinaEuroDistributore", 3.5}}, kEsempio},
        {"null price", {}, {{"PrezzoCopertinaEuroDistributore", kNull}}, conCampo(92, "000000000")},
        {"price as text that is no number",
         {},
         {{"PrezzoCopertinaEuroDistributore", "3,50"}},
         conCampo(92, "000000000")},
        {"half a cent to even, up",
         {},
         {{"PrezzoCopertinaEuroDistributore", "2.675"}},
         conCampo(92, "000000268")},
        {"half a cent to even, down",
         {},
         {{"PrezzoCopertinaEuroDistributore", 2.665}},
         conCampo(92, "000000266")},
        {"price wider than its field",
         {},
         {{"PrezzoCopertinaEuroDistributore", "12345678.9"}},
         conCampo(92, "234567890")},
    };
    for (const Caso& caso : casi)
        verifica(caso);
}

TEST(RigaCatalogo, Stock)
{
    const Caso casi[] = {
        {"999", {}, {{"Giacenza", 999}}, conCampo(114, "+000000")},
        {"-999", {}, {{"Giacenza", "-999"}}, conCampo(114, "+000000")},
        {"999 as decimal text", {}, {{"Giacenza", "999.000"}}, conCampo(114, "+000000")},
        {"1000", {}, {{"Giacenza", 1000}}, conCampo(114, "+001000")},
        {"-3", {}, {{"Giacenza", -3}}, conCampo(114, "-000003")},
        {"null", {}, {{"Giacenza", kNull}}, conCampo(114, "+000000")},
        {"text that is no number", {}, {{"Giacenza", "molte"}}, conCampo(114, "+000000")},
        {"zero", {}, {{"Giacenza", 0}}, conCampo(114, "+000000")},
        {"2.5 rounds to even 2", {}, {{"Giacenza", "2.5"}}, conCampo(114, "+000002")},
        {"3.5 rounds to even 4", {}, {{"Giacenza", 3.5}}, conCampo(114, "+000004")},
        {"998.6 is not exactly 999", {}, {{"Giacenza", "998.6"}}, conCampo(114, "+000999")},
        {"40000, beyond the 16-bit range", {}, {{"Giacenza", 40000}}, conCampo(114, "+040000")},
        {"-40000", {}, {{"Giacenza", "-40000"}}, conCampo(114, "-040000")},
        {"9,999,999 keeps its last six digits", {}, {{"Giacenza", 9999999}}, conCampo(114, "+999999")},
        {"huge text", {}, {{"Giacenza", "123456789012345678901234567"}}, conCampo(114, "+234567")},
    };
    for (const Caso& caso : casi)
        verifica(caso);
}

TEST(RigaCatalogo, Identifiers)
{
    const Caso casi[] = {
        {"13-digit issue identifier keeps its last 12",
         {},
         {{"IDUscita", qlonglong(1234567890123)}},
         conCampo(1, "234567890123")},
        {"issue identifier as text with trailing characters", {}, {{"IDUscita", "4711 x"}}, kEsempio},
        {"issue identifier as a double", {}, {{"IDUscita", 4711.0}}, kEsempio},
        {"null title identifier", {{"IDProd", kNull}}, {}, conCampo(121, "000000000000")},
        {"title identifier as text that is no number",
         {{"IDProd", "ottocento"}},
         {},
         conCampo(121, "000000000000")},
        {"13-digit title identifier", {{"IDProd", "1234567890123"}}, {}, conCampo(121, "234567890123")},
    };
    for (const Caso& caso : casi)
        verifica(caso);
}
