#include "store/tool/salesfile.h"

#include "services/exactnumber.h"
#include "services/failure.h"
#include "services/numbers.h"
#include "services/textfile.h"
#include "store/storeconnection.h"
#include "store/tool/randomsource.h"

#include <QSaveFile>
#include <QSqlQuery>

#include <vector>

namespace {
constexpr int kLineLength = 120;

QString field(const QString& text, int width, bool rightAligned, QChar fill = QLatin1Char(' '))
{
    if (text.size() > width)
        throw Failure(FailureCode::Overflow,
                      QStringLiteral("Valore troppo lungo per il tracciato delle vendite: \"%1\"").arg(text));
    return rightAligned ? text.rightJustified(width, fill) : text.leftJustified(width, fill);
}

struct Issue
{
    qint32 id;
    QString barcode;
    QString addon;
    qint64 cents;
};

std::vector<Issue> storeIssues(StoreConnection& connection)
{
    QSqlQuery query = connection.esegui(QStringLiteral(
        "SELECT u.IDUscita, u.BarcodeAddon, u.Addon, p.BarcodeTitolo, u.PrezzoCopertinaEuroDistributore "
        "FROM Uscite AS u LEFT JOIN Prodotti AS p ON p.IDProd = u.IDProd ORDER BY u.IDUscita"));
    std::vector<Issue> issues;
    while (query.next()) {
        Issue issue;
        issue.id = query.value(0).toInt();
        const QString barcodeAddon = query.value(1).toString().trimmed();
        if (barcodeAddon.size() == 18) {
            issue.barcode = barcodeAddon.left(13);
            issue.addon = barcodeAddon.mid(13);
        } else {
            issue.barcode = query.value(3).toString().trimmed().left(13);
            issue.addon = query.value(2).toString().trimmed().left(5);
        }
        const std::optional<NumeroEsatto> price = NumeroEsatto::daValore(query.value(4));
        issue.cents = price ? price->inUnita(2).value_or(0) : 0;
        issues.push_back(issue);
    }
    return issues;
}
} // namespace

QString componiRigaVendite(const RigaFileVendite& line)
{
    if (line.rigaMovimento < 0 || line.idUscita < 0 || line.prezzoCentesimi < 0)
        throw Failure(FailureCode::Overflow, QStringLiteral("Valore negativo in un campo a cifre fisse"));
    const QString line120 =
        field(line.idMovimento, 15, false) + line.quando.toString(QStringLiteral("yyyyMMddHHmm")) +
        field(QString::number(line.rigaMovimento), 4, true, QLatin1Char('0')) +
        field(QString::number(line.idUscita), 12, true, QLatin1Char('0')) + field(line.barcode, 13, false) +
        field(line.addon, 5, false) + field(QString::number(line.quantita), 9, true) +
        field(QString::number(line.prezzoCentesimi), 9, true, QLatin1Char('0')) +
        QString(41, QLatin1Char(' '));
    if (line120.size() != kLineLength)
        throw Failure(FailureCode::Overflow, QStringLiteral("Data della vendita non valida"));
    return line120;
}

int scriviFileVendite(StoreConnection& connection, const QString& outPath, const OpzioniVendite& options)
{
    const std::vector<Issue> issues = storeIssues(connection);
    if (issues.empty()) throw Failure(FailureCode::Database, QStringLiteral("Lo store non contiene uscite"));

    RandomSource random(quint64(options.seed) * 104729 + 3);
    QSaveFile file(outPath);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure(FailureCode::PathFileAccess,
                      QStringLiteral("Impossibile creare %1: %2").arg(outPath, file.errorString()));
    LineWriter writer(file);
    int lines = 0;
    const QString day = options.quando.date().toString(QStringLiteral("yyMMdd"));
    for (int sale = 1; sale <= options.vendite; ++sale) {
        RigaFileVendite line;
        // Unique within a day and a seed: yymmdd, three digits of the seed, the sale's number.
        line.idMovimento = day + QString::number(options.seed % 1000).rightJustified(3, QLatin1Char('0')) +
                           QString::number(sale).rightJustified(6, QLatin1Char('0'));
        line.quando = QDateTime(options.quando.date(), QTime(random.between(7, 20), random.below(60)));
        const int rows = random.between(1, options.righe);
        for (int row = 1; row <= rows; ++row) {
            const Issue& issue = issues.at(size_t(random.below(int(issues.size()))));
            line.rigaMovimento = row;
            line.idUscita = random.percent(90) ? issue.id : 0; // the shop sometimes knows only the barcode
            line.barcode = issue.barcode;
            line.addon = issue.addon;
            const int draw = random.below(100);
            line.quantita = draw < 80 ? 1 : (draw < 95 ? random.between(2, 3) : -1);
            line.prezzoCentesimi = issue.cents;
            writer.write(componiRigaVendite(line));
            ++lines;
        }
    }
    if (!file.commit())
        throw Failure(FailureCode::PathFileAccess,
                      QStringLiteral("Impossibile scrivere %1: %2").arg(outPath, file.errorString()));
    return lines;
}
