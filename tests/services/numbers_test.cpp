#include "services/numbers.h"

#include "services/failure.h"
#include "services/regional.h"

#include <gtest/gtest.h>

// Settings and catalog fields read an exponent; the sales file's fields are plain decimal notation.
TEST(NumericText, ReadsTheLeadingNumberLeniently)
{
    struct Row
    {
        const char* name;
        const char* text;
        double value;
        double decimal; // leggiNumeroDecimale
    };
    const Row rows[] = {
        {"empty", "", 0, 0},
        {"blank appended", "1 ", 1, 1},
        {"not a number", "abc", 0, 0},
        {"zero after blanks", "   0", 0, 0},
        {"blanks inside", " 1 2 3", 123, 123},
        {"stops at a letter", "12ab", 12, 12},
        {"decimal point", "3.75", 3.75, 3.75},
        {"comma is not a decimal point", "3,75", 3, 3},
        {"negative", "-4", -4, -4},
        {"sign after digits stops", "4-2", 4, 4},
        {"second point stops", "1.2.3", 1.2, 1.2},
        {"exponent", "1E3", 1000, 1},
        {"small exponent", "1e3", 1000, 1},
        {"negative exponent", "2E-1", 0.2, 2},
        {"old exponent letter", "5D2", 500, 5},
        {"dangling exponent", "7E", 7, 7},
        {"exponent without digits before", "e3", 0, 0},
    };
    for (const Row& row : rows) {
        EXPECT_DOUBLE_EQ(leggiNumero(QString::fromUtf8(row.text)), row.value) << row.name;
        EXPECT_DOUBLE_EQ(leggiNumeroDecimale(QString::fromUtf8(row.text)), row.decimal) << row.name;
    }
}

TEST(NumericText, ValidNumberIsTheWholeField)
{
    EXPECT_TRUE(numeroValido(QStringLiteral(" 000000250 ")));
    EXPECT_TRUE(numeroValido(QStringLiteral("-12")));
    EXPECT_TRUE(numeroValido(QStringLiteral("1.5")));
    EXPECT_FALSE(numeroValido(QStringLiteral("")));
    EXPECT_FALSE(numeroValido(QStringLiteral("12a")));
    EXPECT_FALSE(numeroValido(QStringLiteral("1 2")));
    EXPECT_FALSE(numeroValido(QStringLiteral("-")));
}

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(arrotondaInt16(2.5), 2);
    EXPECT_EQ(arrotondaInt16(3.5), 4);
    EXPECT_EQ(arrotondaInt16(-2.5), -2);
    EXPECT_EQ(arrotondaInt16(32767.4), 32767);
    EXPECT_THROW(arrotondaInt16(32767.5), Failure);
    EXPECT_THROW(arrotondaInt16(-32769), Failure);
    EXPECT_EQ(arrotondaInt32(2147483647.0), 2147483647);
    EXPECT_THROW(arrotondaInt32(2147483648.0), Failure);
    EXPECT_DOUBLE_EQ(arrotondaDueDecimali(2.675), 2.68);
    EXPECT_DOUBLE_EQ(arrotondaDueDecimali(2.665), 2.66);
}

TEST(RegionalForms, ItalianWhateverTheHost)
{
    EXPECT_EQ(dataBreve(QDate(2026, 6, 5)), QStringLiteral("05/06/2026"));
    EXPECT_EQ(oraSistema(QTime(7, 5, 9)), QStringLiteral("07:05:09"));
    EXPECT_EQ(NumeroInTesto(2.5), QStringLiteral("2,5"));
    EXPECT_EQ(NumeroInTesto(-2147467259), QStringLiteral("-2147467259"));
    EXPECT_EQ(NumeroInTesto(1234567.25), QStringLiteral("1234567,25"));
    EXPECT_EQ(NumeroInTesto(0.1 + 0.2), QStringLiteral("0,3"));
}
