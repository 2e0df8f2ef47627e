#include "store/bench/catalogfloor.h"

#include "catalog/catalogrecord.h"
#include "catalog/catalogselection.h"
#include "services/clock.h"
#include "services/exactnumber.h"
#include "services/textfile.h"
#include "store/connessionestore.h"
#include "store/storerow.h"

#include <QFile>

#include <cstdio>

namespace {
// The same issues as the export picks, in one statement: the titles of the title query, their issues
// numbered newest first within each title, as many as the mode and the kind of title allow.
QString queryMinima(const ConnessioneStore& connection, ModoSelezione mode)
{
    const QString titles =
        ArchivioCatalogo::testoTitoli(connection.dialetto(), dataLimiteTitoli(adesso().date()));
    const QString lastThree =
        mode == ModoSelezione::UltimeTreUscite ? QStringLiteral("1") : QStringLiteral("0");
    return QStringLiteral(
               "WITH Titoli AS (%1), Scelte AS ("
               " SELECT u.IDUscita, u.BarcodeAddon, u.Addon, u.NumeroCopertina, u.DataUscita,"
               " u.PrezzoCopertinaEuroDistributore, u.Giacenza, t.IDProd, t.BarcodeTitolo, t.Testata, "
               "t.SottoTitolo,"
               " t.GiorniScadenzaResa,"
               " ROW_NUMBER() OVER (PARTITION BY t.IDProd ORDER BY u.DataUscita DESC) AS Numero,"
               " CASE WHEN %2 = 1 THEN 3 WHEN t.IDTipoProdotto = 2 THEN 2 ELSE 10 END AS Quante"
               " FROM Titoli AS t JOIN Uscite AS u ON u.IDProd = t.IDProd"
               " WHERE u.Zefiro = 1 AND u.Giacenza > 0"
               " AND (%2 = 1 OR t.IDTipoProdotto = 2 OR (u.dataRRpdv1 IS NULL AND u.dataResa IS NULL)))"
               " SELECT * FROM Scelte WHERE Numero <= Quante ORDER BY IDProd, Numero")
        .arg(titles, lastThree);
}
} // namespace

qint64 minimoCatalogo(const ImpostazioniConnessione& settings, const QString& outFile, ModoSelezione mode)
{
    ConnessioneStore connection(settings, 3, 60);
    if (connection.dialetto().motore() != Motore::Embedded) {
        std::fprintf(stderr, "the floor runs on the embedded store only\n");
        return -1;
    }
    QFile file(outFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(outFile));
        return -1;
    }
    LineWriter writer(file);
    QSqlQuery rows = connection.esegui(queryMinima(connection, mode));
    const RigaQuery row(rows);
    qint64 records = 0;
    while (rigaSuccessiva(rows)) {
        const NumeroEsatto id = NumeroEsatto::letto(row.valore(QStringLiteral("IDUscita")));
        if (id.negativo() || id.zero()) continue;
        writer.write(ComponiRigaCatalogo(row, row));
        ++records;
    }
    file.close();
    return records;
}
