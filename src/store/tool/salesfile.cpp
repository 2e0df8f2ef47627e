#include "store/tool/salesfile.h"

#include "services/exactnumber.h"
#include "services/failure.h"
#include "services/numbers.h"
#include "services/textfile.h"
#include "store/connessionestore.h"
#include "store/storerow.h"
#include "store/tool/randomsource.h"

#include <QHash>
#include <QSaveFile>
#include <QSqlQuery>
#include <QStringList>

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
    QString barcodeAddon; // as stored
    QString barcode;
    QString addon;
    qint64 cents;
};

std::vector<Issue> storeIssues(ConnessioneStore& connection)
{
    QSqlQuery query = connection.esegui(QStringLiteral(
        "SELECT u.IDUscita, u.BarcodeAddon, u.Addon, p.BarcodeTitolo, u.PrezzoCopertinaEuroDistributore "
        "FROM Uscite AS u LEFT JOIN Prodotti AS p ON p.IDProd = u.IDProd ORDER BY u.IDUscita"));
    std::vector<Issue> issues;
    while (rigaSuccessiva(query)) {
        Issue issue;
        issue.id = query.value(0).toInt();
        const QString barcodeAddon = query.value(1).toString().trimmed();
        issue.barcodeAddon = barcodeAddon;
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
// The line with the text at 1-based position `from` in place of what stood there.
QString conCampo(QString line, int from, const QString& text)
{
    return line.replace(from - 1, text.size(), text);
}

// An issue whose stored barcode and add-on no other issue has: a line naming an unknown issue with this
// barcode is matched to it by the import.
const Issue* uscitaConBarcodeUnico(const std::vector<Issue>& issues)
{
    QHash<QString, int> uses;
    for (const Issue& issue : issues)
        ++uses[issue.barcodeAddon.toUpper()];
    for (const Issue& issue : issues)
        if (issue.barcodeAddon.size() == 18 && uses.value(issue.barcodeAddon.toUpper()) == 1) return &issue;
    return nullptr;
}

QStringList righeDiProva(const std::vector<Issue>& issues, RigaFileVendite line, int firstSale,
                         const QString& firstLine)
{
    auto sale = [&line, &firstSale] {
        line.idMovimento =
            line.idMovimento.left(9) + QString::number(firstSale++).rightJustified(6, QLatin1Char('0'));
        line.rigaMovimento = 1;
        return componiRigaVendite(line);
    };
    qint32 unknown = 1;
    for (const Issue& issue : issues)
        unknown = qMax(unknown, issue.id + 1);
    QStringList lines = {
        sale().chopped(1),
        conCampo(sale(), 1, QString(15, QLatin1Char(' '))),
        conCampo(sale(), 28, QStringLiteral("0000")),
        conCampo(sale(), 28, QStringLiteral("AB  ")),
        conCampo(sale(), 62, QStringLiteral("    40000")),
        conCampo(sale(), 32, QStringLiteral("099999999999")),
        firstLine,
    };
    const Issue* known = uscitaConBarcodeUnico(issues);
    line.idUscita = unknown;
    line.barcode = known ? known->barcodeAddon.left(13) : QStringLiteral("0000000000000");
    line.addon = known ? known->barcodeAddon.mid(13) : QStringLiteral("00000");
    lines << sale();
    return lines;
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

FileVenditeScritto scriviFileVendite(ConnessioneStore& connection, const QString& outPath,
                                     const OpzioniVendite& options)
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
    QString firstLine;
    RigaFileVendite line;
    const QString day = options.quando.date().toString(QStringLiteral("yyMMdd"));
    int sale = 0;
    auto more = [&] { return options.linee > 0 ? lines < options.linee : sale < options.vendite; };
    while (more()) {
        ++sale;
        // Unique within a day and a seed: yymmdd, three digits of the seed, the sale's number.
        line.idMovimento = day + QString::number(options.seed % 1000).rightJustified(3, QLatin1Char('0')) +
                           QString::number(sale).rightJustified(6, QLatin1Char('0'));
        line.quando = QDateTime(options.quando.date(), QTime(random.between(7, 20), random.below(60)));
        const int rows = random.between(1, options.righe);
        for (int row = 1; row <= rows && (options.linee <= 0 || lines < options.linee); ++row) {
            const Issue& issue = issues.at(size_t(random.below(int(issues.size()))));
            line.rigaMovimento = row;
            line.idUscita = random.percent(90) ? issue.id : 0; // the shop sometimes knows only the barcode
            line.barcode = issue.barcode;
            line.addon = issue.addon;
            const int draw = random.below(100);
            line.quantita = draw < 80 ? 1 : (draw < 95 ? random.between(2, 3) : -1);
            line.prezzoCentesimi = issue.cents;
            const QString text = componiRigaVendite(line);
            if (firstLine.isEmpty()) firstLine = text;
            writer.write(text);
            ++lines;
        }
    }
    if (options.prove) {
        for (const QString& text : righeDiProva(issues, line, sale + 1, firstLine)) {
            writer.write(text);
            ++lines;
        }
    }
    if (!file.commit())
        throw Failure(FailureCode::PathFileAccess,
                      QStringLiteral("Impossibile scrivere %1: %2").arg(outPath, file.errorString()));
    return {sale, lines};
}
