#pragma once

#include "store/connectionregistry.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// A plain SQLite connection to a store file, as a standard tool or another program opens it: none of the
// program's settings. Tests that link the store library use it.
class PlainSqlite
{
public:
    // `waitForLocks` false: a statement meeting a lock fails at once instead of waiting for it.
    explicit PlainSqlite(const QString& file, bool waitForLocks = true)
    {
        m_database = aggiungiConnessione(QStringLiteral("QSQLITE"), m_name);
        m_database->setDatabaseName(file);
        if (!waitForLocks) m_database->setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        EXPECT_TRUE(m_database->open());
    }
    ~PlainSqlite() { rimuoviConnessione(m_database, m_name); }
    PlainSqlite(const PlainSqlite&) = delete;
    PlainSqlite& operator=(const PlainSqlite&) = delete;

    QSqlDatabase& database() { return *m_database; }

    // Runs a statement; the rows as "|"-joined texts, or the error text alone.
    QStringList run(const QString& sql)
    {
        QSqlQuery query(*m_database);
        if (!query.exec(sql)) return {QStringLiteral("ERROR: ") + query.lastError().text()};
        QStringList rows;
        while (query.next()) {
            QStringList values;
            for (int i = 0; i < query.record().count(); ++i)
                values << (query.isNull(i) ? QStringLiteral("NULL") : query.value(i).toString());
            rows << values.join(QLatin1Char('|'));
        }
        return rows;
    }

private:
    QString m_name;
    std::unique_ptr<QSqlDatabase> m_database;
};

// Overwrites the middle one of a table's leaf pages in a store file, as a failing disk would; the
// number of leaf pages the table had, 0 when the file could not be changed.
inline int damageMiddlePage(const QString& file, const QString& table)
{
    QList<int> pages;
    int pageSize = 0;
    {
        PlainSqlite reader(file, false);
        pageSize = reader.run(QStringLiteral("PRAGMA page_size")).value(0).toInt();
        for (const QString& page : reader.run("SELECT pageno FROM dbstat WHERE name = '" + table +
                                              "' AND pagetype = 'leaf' ORDER BY pageno"))
            pages << page.toInt();
    }
    QFile store(file);
    if (pageSize <= 0 || pages.isEmpty() || !store.open(QIODevice::ReadWrite) ||
        !store.seek(qint64(pages.at(pages.size() / 2) - 1) * pageSize) ||
        store.write(QByteArray(pageSize, '\xEE')) != pageSize)
        return 0;
    return int(pages.size());
}
