#include "documentistore.h"

#include "sales/documents/documentivendita.h"

#include <QSqlRecord>

void DocumentiTest::SetUp()
{
    StoreFolderTest::SetUp();
    createStore(QStringLiteral("TAVIRA"));
    store = std::make_unique<ConnessioneStore>(settingsFor(QStringLiteral("TAVIRA")), 3, 60);
}

void DocumentiTest::TearDown()
{
    store.reset();
    StoreFolderTest::TearDown();
}

void DocumentiTest::sql(const QString& statement, const QVariantList& values)
{
    store->esegui(statement, values);
}

QStringList DocumentiTest::colonna(const QString& query, const QVariantList& values)
{
    QSqlQuery rows = store->esegui(query, values);
    QStringList texts;
    while (rows.next())
        texts << rows.value(0).toString();
    return texts;
}

QString DocumentiTest::valore(const QString& query, const QVariantList& values)
{
    const QStringList texts = colonna(query, values);
    EXPECT_EQ(texts.size(), 1) << query.toStdString();
    return texts.value(0);
}

QStringList DocumentiTest::righe(const QString& query)
{
    QSqlQuery rows = store->esegui(query);
    QStringList texts;
    while (rows.next()) {
        QStringList columns;
        for (int i = 0; i < rows.record().count(); ++i)
            columns << rows.value(i).toString();
        texts << columns.join(QLatin1Char('|'));
    }
    return texts;
}

void DocumentiTest::uscita(int id, const QVariant& prezzoNetto, const QVariant& idIva, const QVariant& extra,
                           const QVariant& giacenza, const QVariant& umVendita)
{
    sql(QStringLiteral("INSERT INTO Prodotti (IDProd, Testata, IDTipoProdotto) VALUES (?, ?, 1)"),
        {id, QStringLiteral("Titolo %1").arg(id)});
    sql(QStringLiteral("INSERT INTO Uscite (IDUscita, IDProd, NumeroCopertina, IDIva, PrezzoNetto, "
                       "PrezzoVenditaExtra, Giacenza, UmAcquisto, UmVendita) VALUES (?, ?, '1', ?, ?, ?, ?, "
                       "'CF', ?)"),
        {id, id, idIva, prezzoNetto, extra, giacenza, umVendita});
}

void DocumentiTest::iva(int code, const QVariant& rate)
{
    sql(QStringLiteral("INSERT INTO IVA (IDIVA, Aliquota) VALUES (?, ?)"), {code, rate});
}

void DocumentiTest::staged(const QString& idVendita, const QString& idRiga, int idUscita, int quantita,
                           double prezzo, const QString& data, const QString& ora, const QString& elaborato)
{
    sql(QStringLiteral(
            "INSERT INTO Vendite_VT (IDVendita, IDRiga, Data, Ora, Barcode, \"Quantità\", IDUscita, "
            "Prezzo, Elaborato) VALUES (?, ?, ?, ?, '977', ?, ?, ?, ?)"),
        {idVendita, idRiga, data, ora, quantita, idUscita, prezzo, elaborato});
}

int DocumentiTest::crea()
{
    return creaDocumentiVendita(*store, [this](const QStringList& lines) { log << lines; });
}
