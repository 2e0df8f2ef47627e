#pragma once

#include "store/connessionestore.h"
#include "testfolder.h"

#include <QStringList>

#include <memory>

// A program folder with an embedded store "negozio.sqlite" holding a few issues, and the staged rows
// read back as text.
class SalesStoreTest : public ProgramFolderTest
{
protected:
    void SetUp() override;

    QString storePath() const { return path(QStringLiteral("negozio.sqlite")); }
    std::unique_ptr<ConnessioneStore> connetti() const;

    // Every staged row, in the order staged: IDVendita|IDRiga|Data|Ora|Barcode|Quantità|IDUscita|
    // Prezzo|Elaborato.
    QStringList staged() const;
    void esegui(const QString& sql, const QVariantList& values = {}) const;
};
