#include "storefixture.h"

#include "store/embeddedstore.h"
#include "store/sharedconnection.h"

#include <QDir>

void StoreFolderTest::SetUp()
{
    ProgramFolderTest::SetUp();
    ASSERT_TRUE(QDir(folder()).mkpath(QStringLiteral("negozio")));
    chiudiConnessioneCondivisa();
}

void StoreFolderTest::TearDown()
{
    chiudiConnessioneCondivisa();
    ProgramFolderTest::TearDown();
}

QString StoreFolderTest::storeFolder() const
{
    return path(QStringLiteral("negozio"));
}

QString StoreFolderTest::createStore(const QString& name) const
{
    const QString file = QDir(storeFolder()).filePath(name + QStringLiteral(".sqlite"));
    creaStoreVuoto(file);
    return file;
}

ImpostazioniConnessione StoreFolderTest::settingsFor(const QString& database) const
{
    return {QStringLiteral("sqlite:negozio"), QStringLiteral("utente"), QStringLiteral("segreta"), database};
}
