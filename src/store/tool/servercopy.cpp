#include "store/tool/servercopy.h"

#include "services/failure.h"
#include "services/platform.h"
#include "store/connessionestore.h"
#include "store/embeddedstore.h"
#include "store/storerow.h"
#include "store/transazione.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlField>
#include <QSqlRecord>
#include <QTimeZone>

#include "sqlserverstoresql.h"

namespace {
// How many values one INSERT carries at most (SQL Server takes up to 2,100 parameters).
constexpr int kValoriPerIstruzione = 1600;
constexpr int kRighePerIstruzione = 100;

QString validDatabase(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,99}$"));
    const QString trimmed = name.trimmed();
    if (!plain.match(trimmed).hasMatch())
        throw Failure(
            FailureCode::InvalidCall,
            QStringLiteral("\"%1\" non è un nome di database valido (lettere, cifre e _)").arg(name));
    return trimmed;
}

ImpostazioniConnessione su(const ImpostazioniConnessione& server, const QString& database)
{
    ImpostazioniConnessione settings = server;
    settings.database = database;
    return settings;
}

// A column's value from the embedded store as the server column takes it: dates as moments (a text
// date would be read by the server's language), numbers as numbers.
QVariant perServer(const QVariant& value, const QSqlField& field)
{
    if (value.isNull()) return QVariant(field.metaType());
    switch (field.metaType().id()) {
    case QMetaType::QDateTime:
    case QMetaType::QDate: {
        const QString text = value.toString().trimmed();
        QDateTime moment = QDateTime::fromString(text, Qt::ISODateWithMs);
        if (!moment.isValid()) moment = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!moment.isValid()) moment = QDateTime(QDate::fromString(text, Qt::ISODate), QTime(0, 0));
        if (!moment.isValid())
            throw Failure(FailureCode::TypeMismatch, QStringLiteral("\"%1\" non è una data").arg(text));
        moment.setTimeZone(QTimeZone::utc());
        return moment;
    }
    case QMetaType::Bool:
        return value.toString().toInt() != 0;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::Double:
        return value.toDouble();
    default:
        return value.toString();
    }
}

// A server value as the embedded store holds it: a day alone as "yyyy-mm-dd", a moment with its time.
QVariant perStore(const QVariant& value)
{
    if (value.isNull()) return value;
    switch (value.metaType().id()) {
    case QMetaType::QDateTime: {
        const QDateTime moment = value.toDateTime();
        if (moment.time() == QTime(0, 0)) return moment.date().toString(QStringLiteral("yyyy-MM-dd"));
        return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    default:
        return value;
    }
}

QString quoted(const QString& column)
{
    return QLatin1Char('"') + column + QLatin1Char('"');
}

QString insertText(const QString& table, const QStringList& columns, int rows)
{
    QStringList names, marks;
    for (const QString& column : columns) {
        names << quoted(column);
        marks << QStringLiteral("?");
    }
    const QString one = QStringLiteral("(") + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
    QStringList all;
    for (int i = 0; i < rows; ++i)
        all << one;
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(table, names.join(QStringLiteral(", ")), all.join(QStringLiteral(", ")));
}

Failure rowFailure(const QString& table, qint64 row, const QString& why)
{
    return Failure(FailureCode::Database, QStringLiteral("%1, riga %2: %3").arg(table).arg(row).arg(why));
}

// The rows of one table of the embedded store, converted for the server's columns.
std::vector<QVariantList> storeRows(ConnessioneStore& store, const QString& table, const QSqlRecord& target,
                                    QStringList& columns)
{
    QSqlQuery query = store.esegui(QStringLiteral("SELECT * FROM ") + table);
    const QSqlRecord source = query.record();
    std::vector<int> positions;
    std::vector<QSqlField> fields;
    for (int i = 0; i < target.count(); ++i) {
        const int at = source.indexOf(target.fieldName(i));
        if (at < 0) continue; // left to the column's default
        columns << target.fieldName(i);
        positions.push_back(at);
        fields.push_back(target.field(i));
    }
    std::vector<QVariantList> rows;
    while (rigaSuccessiva(query)) {
        QVariantList values;
        for (size_t i = 0; i < positions.size(); ++i) {
            try {
                values << perServer(query.value(positions[i]), fields[i]);
            } catch (const Failure& failure) {
                throw rowFailure(table, qint64(rows.size()) + 1,
                                 columns.at(qsizetype(i)) + QStringLiteral(": ") + failure.description());
            }
        }
        rows.push_back(values);
    }
    return rows;
}

// The row of a refused group that the server refuses alone, tried one by one in a unit undone after.
qint64 refusedRow(ConnessioneStore& server, const QString& table, const QStringList& columns,
                  const std::vector<QVariantList>& rows, size_t from, size_t count, QString& why)
{
    Transazione trial(server);
    for (size_t i = from; i < from + count; ++i) {
        try {
            server.scrivi(insertText(table, columns, 1), rows[i]);
        } catch (const Failure& failure) {
            why = failure.description();
            return qint64(i) + 1;
        }
    }
    return qint64(from) + 1;
}

int loadTable(ConnessioneStore& store, ConnessioneStore& server, const QString& table)
{
    QSqlQuery shape = server.esegui(QStringLiteral("SELECT TOP 0 * FROM ") + table);
    const QSqlRecord target = shape.record();
    shape.finish();
    QStringList columns;
    const std::vector<QVariantList> rows = storeRows(store, table, target, columns);
    if (rows.empty() || columns.isEmpty()) return 0;
    const size_t perStatement =
        size_t(qMax(1, qMin(kRighePerIstruzione, kValoriPerIstruzione / int(columns.size()))));
    size_t failedFrom = 0, failedCount = 0;
    QString why;
    {
        Transazione unit(server);
        for (size_t from = 0; from < rows.size() && failedCount == 0; from += perStatement) {
            const size_t count = qMin(perStatement, rows.size() - from);
            QVariantList values;
            for (size_t i = from; i < from + count; ++i)
                values += rows[i];
            try {
                server.scrivi(insertText(table, columns, int(count)), values);
            } catch (const Failure& failure) {
                failedFrom = from;
                failedCount = count;
                why = failure.description();
            }
        }
        if (failedCount == 0) unit.conferma();
    }
    if (failedCount > 0)
        throw rowFailure(table, refusedRow(server, table, columns, rows, failedFrom, failedCount, why), why);
    return int(rows.size());
}
} // namespace

const QStringList& tabelleStore()
{
    static const QStringList tables = {
        QStringLiteral("Prodotti"),       QStringLiteral("Uscite"),     QStringLiteral("IVA"),
        QStringLiteral("TipiDocumento"),  QStringLiteral("Vendite_VT"), QStringLiteral("Documenti"),
        QStringLiteral("DocumentiRighe"), QStringLiteral("Contatori")};
    return tables;
}

QStringList scriptStoreSqlServer()
{
    static const QRegularExpression go(QStringLiteral("^\\s*GO\\s*$"),
                                       QRegularExpression::MultilineOption |
                                           QRegularExpression::CaseInsensitiveOption);
    QStringList batches;
    for (const QString& batch : QString::fromUtf8(kSqlServerStoreSql).split(go))
        if (!batch.trimmed().isEmpty()) batches << batch.trimmed();
    return batches;
}

void caricaSuServer(const QString& storeFile, const ImpostazioniConnessione& server, bool replace,
                    QTextStream& out)
{
    const QString database = validDatabase(server.database);
    if (!QFileInfo(storeFile).isFile())
        throw Failure(FailureCode::PathFileAccess,
                      QStringLiteral("Lo store %1 non esiste").arg(QDir::toNativeSeparators(storeFile)));
    ConnessioneStore store(impostazioniFileStore(storeFile), 3, 0);
    ConnessioneStore master(su(server, QStringLiteral("master")), 3, 0);
    QSqlQuery exists =
        master.esegui(QStringLiteral("SELECT COUNT(*) FROM sys.databases WHERE name = ?"), {database});
    const bool found = rigaSuccessiva(exists) && exists.value(0).toInt() > 0;
    exists.finish();
    if (found && !replace)
        throw Failure(
            FailureCode::Database,
            QStringLiteral("Il database %1 esiste già: usa --sovrascrivi per sostituirlo").arg(database));
    if (found) master.eseguiLotto(QStringLiteral("DROP DATABASE [%1]").arg(database));
    master.eseguiLotto(QStringLiteral("CREATE DATABASE [%1]").arg(database));
    try {
        ConnessioneStore target(su(server, database), 3, 0);
        for (const QString& batch : scriptStoreSqlServer())
            target.eseguiLotto(batch);
        for (const QString& table : tabelleStore())
            out << QStringLiteral("%1: %2 righe\n").arg(table).arg(loadTable(store, target, table));
    } catch (...) {
        try {
            master.eseguiLotto(QStringLiteral("DROP DATABASE [%1]").arg(database));
        } catch (const std::exception&) {
            // The first failure is the one to report.
        }
        throw;
    }
    out << QStringLiteral("Creato il database %1 su %2\n").arg(database, server.server.trimmed());
}

QString nomeDiLavoro(const QFileInfo& target)
{
    const QString base = target.fileName().left(target.fileName().size() - 7);
    for (int n = 1;; ++n) {
        const QString candidate = target.dir().filePath(QStringLiteral("%1.part%2.sqlite").arg(base).arg(n));
        if (!QFileInfo::exists(candidate)) return candidate;
    }
}

namespace {
int downloadTable(ConnessioneStore& server, ConnessioneStore& store, const QString& table)
{
    store.esegui(QStringLiteral("DELETE FROM ") + table); // the new store's own first rows
    QSqlQuery rows = server.esegui(QStringLiteral("SELECT * FROM ") + table);
    const QSqlRecord record = rows.record();
    QStringList columns;
    for (int i = 0; i < record.count(); ++i)
        columns << record.fieldName(i);
    const QString insert = insertText(table, columns, 1);
    int copied = 0;
    while (rigaSuccessiva(rows)) {
        QVariantList values;
        for (int i = 0; i < record.count(); ++i)
            values << perStore(rows.value(i));
        try {
            store.scrivi(insert, values);
        } catch (const Failure& failure) {
            throw rowFailure(table, copied + 1, failure.description());
        }
        ++copied;
    }
    return copied;
}
} // namespace

void scaricaDaServer(const ImpostazioniConnessione& server, const QString& storeFile, bool replace,
                     QTextStream& out)
{
    validDatabase(server.database);
    const QFileInfo target(storeFile);
    if (target.exists() && (target.isDir() || !replace))
        throw Failure(FailureCode::PathFileAccess,
                      QStringLiteral("%1 esiste già: usa --sovrascrivi per sostituirlo")
                          .arg(QDir::toNativeSeparators(storeFile)));
    const QString working = nomeDiLavoro(target);
    creaStoreVuoto(working);
    try {
        ConnessioneStore source(server, 3, 0);
        ConnessioneStore store(impostazioniFileStore(working), 3, 0);
        Transazione unit(store);
        QStringList copied;
        for (const QString& table : tabelleStore())
            copied << QStringLiteral("%1: %2 righe\n").arg(table).arg(downloadTable(source, store, table));
        unit.conferma();
        for (const QString& line : copied)
            out << line;
    } catch (...) {
        QFile::remove(working);
        throw;
    }
    if (!(replace ? sostituisciFileAtomicamente(working, target.absoluteFilePath())
                  : QFile::rename(working, target.absoluteFilePath()))) {
        QFile::remove(working);
        throw Failure(
            FailureCode::PathFileAccess,
            QStringLiteral("Impossibile mettere al suo posto %1").arg(QDir::toNativeSeparators(storeFile)));
    }
    out << QStringLiteral("Scritto lo store %1\n").arg(QDir::toNativeSeparators(storeFile));
}
