#pragma once

// The SQL Server path from end to end: the built program's unattended "/A /C /V" in program folders whose
// store is a database on the real T-SQL engine, or the same store embedded; what the runs leave, read by
// one oracle from an embedded copy of the database.
#include "tsqlengine.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

QByteArray readAll(const QString& file);
// The activity log without its time stamps.
QString storyOf(const QString& file);
// What the runs leave in an embedded store: staged rows, documents, rows, stock, counters.
QStringList storeState(const QString& file);
// The lines of `served` missing from `embedded` ("+") and the other way round ("-"), at most 20.
std::string difference(const QStringList& served, const QStringList& embedded);
// What no run may leave in a store: rows without their document or a document without rows, stock
// moved by other than the documented quantities, staged rows marked for sales not documented, a number
// used twice, a counter behind the numbers it gave.
void expectNothingHalfSaved(const QString& store, const QString& base);

// A program folder: its store embedded ("sqlite:store") or a database of its own on the engine.
struct Site
{
    QString folder;
    QString database; // on the engine; empty when embedded
    QString store() const { return folder + QStringLiteral("/store/TAVIRA_DEMO.sqlite"); }
};

class SqlServerPath : public ::testing::Test
{
protected:
    // One demo store and one sales file for every run.
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    static TsqlEngine& engine() { return TsqlEngine::instance(); }
    static QString base() { return s_base->filePath(QStringLiteral("TAVIRA_DEMO.sqlite")); }
    static QString baseFile(const QString& name) { return s_base->filePath(name); }

    // A program folder named `name`, with the sales file; served: its database loaded from `store`.
    Site embedded(const QString& name);
    Site served(const QString& name, const QString& password = {}, const QString& store = {});
    // The store as the runs left it, as an embedded file (the served database read back).
    QString result(const Site& site);

    // The program's exit status after "/A /C /V" in that folder; -1 when it did not end within the limit,
    // kErrorReport when it showed the error report (a modal dialog that waits for an operator: the test
    // ends the program once the report is in LogErrori.TXT). `tick` runs every 250 ms meanwhile.
    static constexpr int kErrorReport = -2;
    // The program started unattended in that folder with those switches, offscreen, through FreeTDS.
    static void start(QProcess& child, const QString& folder, const QStringList& switches);
    static int run(const QString& folder, const std::function<void(int elapsedMs)>& tick = {},
                   int limitMs = 180000);

    static QTemporaryDir* s_base;
    QTemporaryDir m_sites;

private:
    QString site(const QString& name, const QString& server, const QString& database, const QString& user,
                 const QString& password);
};
