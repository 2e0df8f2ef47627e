#include "salesstore.h"

#include "store/embeddedstore.h"

#include <QSqlQuery>

void SalesStoreTest::SetUp()
{
    ProgramFolderTest::SetUp();
    creaStoreVuoto(storePath());
    // 4711 and 4712 have barcodes of their own, 4713 and 4714 share one, 4715 has none,
    // 4716 has letters and a trailing blank.
    esegui(QStringLiteral("INSERT INTO Uscite (IDUscita, IDProd, BarcodeAddon) VALUES "
                          "(4711, 1, '977000000000100001'), (4712, 2, '977000000000200002'), "
                          "(4713, 3, '977000000000300003'), (4714, 3, '977000000000300003'), (4715, 4, ''), "
                          "(4716, 5, 'ABC123X ')"));
}

std::unique_ptr<ConnessioneStore> SalesStoreTest::connetti() const
{
    return std::make_unique<ConnessioneStore>(impostazioniFileStore(storePath()), 3, 60);
}

QStringList SalesStoreTest::staged() const
{
    const auto connection = connetti();
    QSqlQuery query = connection->esegui(QStringLiteral(
        "SELECT IDVendita, IDRiga, Data, Ora, Barcode, \"Quantità\", IDUscita, Prezzo, Elaborato "
        "FROM Vendite_VT ORDER BY rowid"));
    QStringList rows;
    while (query.next()) {
        QStringList fields;
        for (int i = 0; i < 9; ++i)
            fields << query.value(i).toString();
        rows << fields.join(QLatin1Char('|'));
    }
    return rows;
}

void SalesStoreTest::esegui(const QString& sql, const QVariantList& values) const
{
    connetti()->esegui(sql, values).finish();
}
