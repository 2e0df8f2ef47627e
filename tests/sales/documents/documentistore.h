#pragma once

#include "store/connessionestore.h"
#include "storefixture.h"

#include <QStringList>
#include <QVariant>

#include <memory>

// An embedded store with issues and staged sales, and the document creation run on it with its log
// lines recorded.
class DocumentiTest : public StoreFolderTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    void sql(const QString& statement, const QVariantList& values = {});
    // The first column of each row of a query, as text ("" for NULL).
    QStringList colonna(const QString& query, const QVariantList& values = {});
    QString valore(const QString& query, const QVariantList& values = {});
    // Every row of a query, its columns joined by "|".
    QStringList righe(const QString& query);

    // An issue with its net price, VAT code, extra price and stock (NULL where a QVariant is empty).
    void uscita(int id, const QVariant& prezzoNetto, const QVariant& idIva, const QVariant& extra = {},
                const QVariant& giacenza = 10, const QVariant& umVendita = QStringLiteral("PZ"));
    void iva(int code, const QVariant& rate);
    // A staged sale row, pending unless told otherwise.
    void staged(const QString& idVendita, const QString& idRiga, int idUscita, int quantita, double prezzo,
                const QString& data = QStringLiteral("2026-12-07"),
                const QString& ora = QStringLiteral("09:05"), const QString& elaborato = QStringLiteral("0"));

    int crea();

    std::unique_ptr<ConnessioneStore> store;
    QStringList log;
};
