#include "services/exactnumber.h"

#include "qtprinting.h"

#include <QDate>

#include <gtest/gtest.h>

#include <limits>

namespace {
QString testo(const QVariant& value)
{
    const auto number = NumeroEsatto::daValore(value);
    return number ? number->testo() : QStringLiteral("<none>");
}
QString arrotondato(const char* text, int decimals)
{
    return NumeroEsatto::daTesto(QString::fromLatin1(text))->arrotondato(decimals).testo();
}
} // namespace

TEST(NumeroEsatto, ReadsNumericValuesAndNumericText)
{
    struct Row
    {
        const char* name;
        QVariant value;
        const char* expected;
    };
    const Row rows[] = {
        {"integer", 815, "815"},
        {"negative integer", qlonglong(-3), "-3"},
        {"largest 64-bit", std::numeric_limits<qlonglong>::max(), "9223372036854775807"},
        {"unsigned 64-bit", std::numeric_limits<qulonglong>::max(), "18446744073709551615"},
        {"double with decimals", 3.5, "3.5"},
        {"double whole", 4711.0, "4711"},
        {"double at 15 digits", 0.1 + 0.2, "0.3"},
        {"negative zero", -0.0, "0"},
        {"decimal text", "3.50", "3.5"},
        {"text with blanks around", "  12  ", "12"},
        {"text with leading zeros", "007", "7"},
        {"text with sign", "+5", "5"},
        {"text with exponent", "1.5e3", "1500"},
        {"text with negative exponent", "15E-3", "0.015"},
        {"point without integer digits", ".5", "0.5"},
        {"27 digits", "123456789012345678901234567", "123456789012345678901234567"},
        {"boolean true", true, "-1"},
        {"null", QVariant(), "<none>"},
        {"empty text", "", "<none>"},
        {"comma decimal", "3,5", "<none>"},
        {"letters", "abc", "<none>"},
        {"number then letters", "12abc", "<none>"},
        {"inner blank", "1 2", "<none>"},
        {"sign alone", "-", "<none>"},
        {"date", QDate(2026, 6, 5), "<none>"},
        {"infinite double", std::numeric_limits<double>::infinity(), "<none>"},
        {"absurd exponent", "1e999999", "<none>"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(testo(row.value), QString::fromLatin1(row.expected)) << row.name;
}

TEST(NumeroEsatto, LenientReadingTakesTheLeadingNumber)
{
    EXPECT_EQ(NumeroEsatto::letto(QVariant()).testo(), "0");
    EXPECT_EQ(NumeroEsatto::letto(QString()).testo(), "0");
    EXPECT_EQ(NumeroEsatto::letto(QStringLiteral("12abc")).testo(), "12");
    EXPECT_EQ(NumeroEsatto::letto(QStringLiteral("1 2")).testo(), "12");
    EXPECT_EQ(NumeroEsatto::letto(QStringLiteral("abc")).testo(), "0");
    EXPECT_EQ(NumeroEsatto::letto(QStringLiteral("-4")).testo(), "-4");
    EXPECT_EQ(NumeroEsatto::letto(qlonglong(1234567890123)).testo(), "1234567890123");
}

TEST(NumeroEsatto, RoundsHalfToEven)
{
    struct Row
    {
        const char* value;
        int decimals;
        const char* expected;
    };
    const Row rows[] = {
        {"2.5", 0, "2"},
        {"3.5", 0, "4"},
        {"-2.5", 0, "-2"},
        {"-3.5", 0, "-4"},
        {"2.51", 0, "3"},
        {"2.49999", 0, "2"},
        {"0.5", 0, "0"},
        {"1.5", 0, "2"},
        {"9.5", 0, "10"},
        {"99.5", 0, "100"},
        {"-0.4", 0, "0"},
        {"2.675", 2, "2.68"},
        {"2.665", 2, "2.66"},
        {"2.6651", 2, "2.67"},
        {"3.5", 2, "3.5"},
        {"999.995", 2, "1000"},
        {"12345678901234567890.5", 0, "12345678901234567890"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(arrotondato(row.value, row.decimals), QString::fromLatin1(row.expected))
            << row.value << " to " << row.decimals;
}

TEST(NumeroEsatto, ShiftsSignsAndCompares)
{
    const NumeroEsatto price = *NumeroEsatto::daTesto(QStringLiteral("3.5"));
    EXPECT_EQ(price.perPotenzaDiDieci(2).testo(), "350");
    EXPECT_EQ(price.perPotenzaDiDieci(-3).testo(), "0.0035");
    EXPECT_EQ(NumeroEsatto::daTesto(QStringLiteral("-7"))->assoluto().testo(), "7");
    EXPECT_TRUE(NumeroEsatto::daTesto(QStringLiteral("-7"))->negativo());
    EXPECT_FALSE(NumeroEsatto::daTesto(QStringLiteral("-0.00"))->negativo());
    EXPECT_TRUE(NumeroEsatto::daTesto(QStringLiteral("0"))->zero());
    EXPECT_EQ(*NumeroEsatto::daTesto(QStringLiteral("999.000")), *NumeroEsatto::daValore(999));
    EXPECT_FALSE(*NumeroEsatto::daTesto(QStringLiteral("999.4")) == *NumeroEsatto::daValore(999));
}
