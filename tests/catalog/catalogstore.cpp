#include "catalogstore.h"

#include "services/parametri.h"
#include "services/textfile.h"
#include "store/embeddedstore.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>

void CatalogoTest::SetUp()
{
    ProgramFolderTest::SetUp();
    ASSERT_TRUE(QDir(folder()).mkpath(QStringLiteral("store")));
    ASSERT_TRUE(QDir(folder()).mkpath(QStringLiteral("out")));
    creaStoreVuoto(path(QStringLiteral("store/Tavira.sqlite")));
    display.connessione = {QStringLiteral("sqlite:") + path(QStringLiteral("store")), QStringLiteral("sa"),
                           QStringLiteral("segreta"), QStringLiteral("Tavira")};
    ASSERT_TRUE(ScriviParametro(QStringLiteral("PathDestCatalogoTotale"), cartellaDest()));
    ASSERT_TRUE(ScriviParametro(QStringLiteral("NomeFileCatalogoTotale"), QStringLiteral("Catalogo.DAT")));
}

void CatalogoTest::TearDown()
{
    m_store.reset();
    ProgramFolderTest::TearDown();
}

void CatalogoTest::sql(const QString& statement, const QVariantList& values)
{
    if (!m_store) m_store = std::make_unique<ConnessioneStore>(display.connessione, 3, 60);
    m_store->esegui(statement, values);
}

void CatalogoTest::titolo(int idProd, int tipo, int zefiro)
{
    sql(QStringLiteral(
            "INSERT INTO Prodotti (IDProd, Zefiro, BarcodeTitolo, Testata, SottoTitolo, IDTipoProdotto, "
            "GiorniScadenzaResa) VALUES (?, ?, ?, ?, 'SETTIMANALE', ?, 30)"),
        {idProd, zefiro, QStringLiteral("977000000%1").arg(idProd, 4, 10, QLatin1Char('0')),
         QStringLiteral("TITOLO %1").arg(idProd), tipo});
}

void CatalogoTest::uscita(int idUscita, int idProd, const QString& data, const QVariant& giacenza, int zefiro,
                          const QVariant& dataRRpdv1, const QVariant& dataResa)
{
    sql(QStringLiteral("INSERT INTO Uscite (IDUscita, IDProd, Addon, NumeroCopertina, DataUscita, "
                       "PrezzoCopertinaEuroDistributore, Zefiro, dataRRpdv1, dataResa, Giacenza) "
                       "VALUES (?, ?, '1', '1', ?, 2.5, ?, ?, ?, ?)"),
        {idUscita, idProd, data, zefiro, dataRRpdv1, dataResa, giacenza});
}

EsitoRun CatalogoTest::esporta(bool automatico)
{
    m_store.reset(); // the run opens its own connection
    return esportaCatalogoTotale({display, display.connessione, automatico});
}

QByteArray CatalogoTest::leggi(const QString& filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void CatalogoTest::scrivi(const QString& filePath, const QByteArray& bytes)
{
    QFile file(filePath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QStringList CatalogoTest::fileNellaDestinazione() const
{
    return QDir(cartellaDest()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList CatalogoTest::righeCatalogo() const
{
    const QByteArray bytes = leggi(catalogoPath());
    EXPECT_TRUE(bytes.isEmpty() || bytes.endsWith("\r\n"));
    QStringList lines;
    for (const QByteArray& line : bytes.split('\n')) {
        if (line.isEmpty()) continue;
        EXPECT_EQ(line.size(), 141) << line.constData(); // 140 characters and CR
        lines << decodificaAnsi(line.chopped(1));
    }
    return lines;
}

QList<int> CatalogoTest::usciteEsportate() const
{
    QList<int> ids;
    for (const QString& line : righeCatalogo())
        ids << line.left(12).toInt();
    return ids;
}

QStringList righeSuccesso()
{
    const QString rule(49, QLatin1Char('='));
    return {rule, QStringLiteral("Esportazione Titoli Terminata con Successo !"), rule};
}

QStringList righeInterrotta()
{
    const QString rule(49, QLatin1Char('='));
    return {rule, QStringLiteral("Esportazione INTERROTTA !!"), rule};
}

void CatalogoTest::unTitoloEVecchioCatalogo()
{
    titolo(1);
    uscita(11, 1, "2026-12-01");
    scrivi(catalogoPath(), kVecchioCatalogo);
}
