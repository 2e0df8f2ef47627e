#pragma once

#include "store/connectionregistry.h"

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
