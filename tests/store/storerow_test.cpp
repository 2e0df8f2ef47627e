#include "services/exactnumber.h"
#include "services/failure.h"
#include "store/connessionestore.h"
#include "store/storerow.h"
#include "storefixture.h"

#include <gtest/gtest.h>

using StoreRows = StoreFolderTest;

// A float column reaches the program as the text of the binary double ("2.6749999999999998" for a
// price entered as 2.675); the price in cents is that of 2.675.
TEST_F(StoreRows, FloatColumnTextIsReadAsTheValueEntered)
{
    createStore(QStringLiteral("TAVIRA"));
    ConnessioneStore connection(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
    // Declared as a number to the driver, kept as text by SQLite: the way a float comes over ODBC.
    connection.esegui(QStringLiteral("CREATE TABLE Prezzi (Prezzo NUMERIC TEXT, Nota TEXT)"));
    connection.esegui(
        QStringLiteral("INSERT INTO Prezzi VALUES ('2.6749999999999998', '2.6749999999999998')"));
    QSqlQuery query = connection.esegui(QStringLiteral("SELECT Prezzo, Nota FROM Prezzi"));
    const RigaQuery row(query);
    ASSERT_TRUE(rigaSuccessiva(query));
    const auto price = NumeroEsatto::daValore(row.valore(QStringLiteral("prezzo")));
    ASSERT_TRUE(price.has_value());
    EXPECT_EQ(price->inUnita(2), 268);
    EXPECT_EQ(row.valore(QStringLiteral("Nota")).toString(), "2.6749999999999998"); // a text stays as stored
    EXPECT_FALSE(rigaSuccessiva(query));
}
