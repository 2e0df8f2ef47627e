#include "catalog/catalogselection.h"
#include "qtprinting.h"

#include <gtest/gtest.h>

TEST(SelezioneCatalogo, CutOffIs180DaysBack)
{
    EXPECT_EQ(dataLimiteTitoli(QDate(2026, 12, 7)), QDate(2026, 6, 10));
    EXPECT_EQ(dataLimiteTitoli(QDate(2024, 3, 1)), QDate(2023, 9, 3)); // across a 29 February
}

TEST(SelezioneCatalogo, SelectionModeAndDailies)
{
    struct Row
    {
        const char* value;
        ModoSelezione mode;
    };
    const Row rows[] = {{"", ModoSelezione::NonRichiamatiEQuotidiani},
                        {"0", ModoSelezione::NonRichiamatiEQuotidiani},
                        {" 0 ", ModoSelezione::NonRichiamatiEQuotidiani},
                        {"abc", ModoSelezione::NonRichiamatiEQuotidiani},
                        {"1", ModoSelezione::UltimeTreUscite},
                        {"2", ModoSelezione::UltimeTreUscite},
                        {"-1", ModoSelezione::UltimeTreUscite},
                        {"1abc", ModoSelezione::UltimeTreUscite}};
    for (const Row& row : rows)
        EXPECT_EQ(modoSelezione(row.value), row.mode) << row.value;

    EXPECT_TRUE(eQuotidiano(2));
    EXPECT_TRUE(eQuotidiano(QStringLiteral("2")));
    EXPECT_TRUE(eQuotidiano(QStringLiteral("2.0")));
    EXPECT_FALSE(eQuotidiano(1));
    EXPECT_FALSE(eQuotidiano(QStringLiteral("12")));
    EXPECT_FALSE(eQuotidiano(QVariant()));
}
