#include "store/storevalues.h"

#include "qtprinting.h"

#include <QDateTime>

#include <gtest/gtest.h>

TEST(ValoriStore, TextOfAValue)
{
    EXPECT_EQ(testoDelValore(QVariant()), "");
    EXPECT_EQ(testoDelValore(QStringLiteral("abc")), "abc");
    EXPECT_EQ(testoDelValore(12), "12");
    EXPECT_EQ(testoDelValore(2.5), "2.5");
    EXPECT_EQ(testoDelValore(QString::fromUtf8("€ ω")), QString::fromUtf8("€ ?"));
    EXPECT_EQ(testoDelValore(QStringLiteral("a\nb\x7f")), "a b ");
}

TEST(ValoriStore, DatesFromEitherEngine)
{
    struct Row
    {
        const char* name;
        QVariant value;
        QDate date; // invalid: no date
        QTime time;
    };
    const QDate day(2026, 6, 5);
    const Row rows[] = {
        {"date column", day, day, QTime(0, 0)},
        {"date-time column", QDateTime(day, QTime(14, 30, 5)), day, QTime(14, 30, 5)},
        {"ISO date", "2026-06-05", day, QTime(0, 0)},
        {"ISO date and time", "2026-06-05 14:30:05", day, QTime(14, 30, 5)},
        {"ISO with T and minutes only", "2026-06-05T14:30", day, QTime(14, 30)},
        {"ISO with milliseconds", "2026-06-05 14:30:05.250", day, QTime(14, 30, 5, 250)},
        {"short Italian date", "05/06/2026", day, QTime(0, 0)},
        {"short Italian date with time", "05/06/2026 08:00:00", day, QTime(8, 0)},
        {"blanks around", " 2026-06-05 ", day, QTime(0, 0)},
        {"null", QVariant(), {}, {}},
        {"number", 20260605, {}, {}},
        {"not a date", "ieri", {}, {}},
        {"impossible day", "2026-02-30", {}, {}},
        {"impossible hour", "2026-06-05 25:00:00", {}, {}},
        {"trailing rubbish", "2026-06-05 14:30:05Z", {}, {}},
        {"two-digit year", "05/06/26", {}, {}},
    };
    for (const Row& row : rows) {
        const auto moment = dataDelValore(row.value);
        if (!row.date.isValid()) {
            EXPECT_FALSE(moment.has_value()) << row.name;
            continue;
        }
        ASSERT_TRUE(moment.has_value()) << row.name;
        EXPECT_EQ(moment->data, row.date) << row.name;
        EXPECT_EQ(moment->ora, row.time) << row.name;
    }
}

TEST(ValoriStore, FloatingPointColumnsAreTakenAt15SignificantDigits)
{
    struct Row
    {
        const char* name;
        QVariant value;
        QVariant expected;
    };
    const Row rows[] = {
        {"float text with all its digits", QStringLiteral("2.6749999999999998"), QStringLiteral("2.675")},
        {"negative, with exponent", QStringLiteral("-1.0049999999999999E+1"), QStringLiteral("-10.05")},
        {"exact decimal text stays", QStringLiteral("2.6750"), QStringLiteral("2.6750")},
        {"fifteen digits stay", QStringLiteral("1234567890.12345"), QStringLiteral("1234567890.12345")},
        {"a double stays a double", 2.675, 2.675},
        {"NULL", QVariant(), QVariant()},
        {"not a number", QStringLiteral("abc"), QStringLiteral("abc")},
    };
    for (const Row& row : rows)
        EXPECT_EQ(valoreVirgolaMobile(row.value), row.expected) << row.name;
}
