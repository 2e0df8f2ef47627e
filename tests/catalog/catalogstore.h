#pragma once

#include "catalog/catalogexport.h"
#include "fakedisplay.h"
#include "store/connessionestore.h"
#include "testfolder.h"

#include <QStringList>
#include <QVariant>

#include <memory>

// A program folder with an empty embedded store (database "Tavira" in the folder "store"), the catalog
// parameters pointing at the folder "out" (stored without a trailing separator) and a recording window.
class CatalogoTest : public ProgramFolderTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs statements on the test store.
    void sql(const QString& statement, const QVariantList& values = {});
    // A title flagged for the shop unless `zefiro` says otherwise.
    void titolo(int idProd, int tipo = 1, int zefiro = 1);
    // An issue in stock, flagged, not recalled, unless told otherwise.
    void uscita(int idUscita, int idProd, const QString& data, const QVariant& giacenza = 5, int zefiro = 1,
                const QVariant& dataRRpdv1 = {}, const QVariant& dataResa = {});

    EsitoRun esporta(bool automatico = false);

    QString cartellaDest() const { return path(QStringLiteral("out")); }
    QString catalogoPath() const { return path(QStringLiteral("out/Catalogo.DAT")); }
    QString temporaneoPath() const { return path(QStringLiteral("out/TEMP_Catalogo.DAT")); }
    static QByteArray leggi(const QString& filePath);
    static void scrivi(const QString& filePath, const QByteArray& bytes);

    // The old catalog that a run may replace, and one title with one issue to export.
    static inline const QByteArray kVecchioCatalogo = "VECCHIO CATALOGO\r\n";
    void unTitoloEVecchioCatalogo();
    QStringList fileNellaDestinazione() const;

    // The catalog's lines without CR LF; every line must end with CR LF.
    QStringList righeCatalogo() const;
    // The issue identifiers (field 1) of the catalog's lines, in order.
    QList<int> usciteEsportate() const;

    DisplayFinto display;

private:
    std::unique_ptr<ConnessioneStore> m_store;
};

// The log lines that close a successful run and an aborted one.
QStringList righeSuccesso();
QStringList righeInterrotta();
