#pragma once

#include "services/connectionsettings.h"
#include "testfolder.h"

#include <QString>

// A program folder with a "negozio" subfolder holding embedded stores, reached with the server name
// "sqlite:negozio" (relative to the program folder).
class StoreFolderTest : public ProgramFolderTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString storeFolder() const;
    // Creates <name>.sqlite in the store folder with the schema.
    QString createStore(const QString& name) const;
    ImpostazioniConnessione settingsFor(const QString& database) const;
};
