// What the window shows of a run while the run waits on the store: a run stops at a connection's opening
// and at its statements, and whatever it wrote before must be painted by then.
#include "app/frmmain.h"
#include "app/loglist.h"
#include "app/windowdisplay.h"
#include "catalog/catalogexport.h"
#include "sales/importavendite.h"
#include "services/parametri.h"
#include "store/embeddedstore.h"
#include "testfolder.h"

#include <QApplication>
#include <QDir>
#include <QThread>

#include <sqlite3.h>

namespace {
// The run's store steps on the main thread ("open", or the statement's text), each with the text of the
// panel line painted last before it.
struct StoreStep
{
    QString step;
    QString painted;
};

class StoreWaitTest : public ProgramFolderTest, public QObject
{
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        ASSERT_TRUE(QDir(folder()).mkpath(QStringLiteral("store")));
        creaStoreVuoto(path(QStringLiteral("store/Tavira.sqlite")));
        window.show();
        QApplication::processEvents();
        for (const char* list : {"ListLOG1", "ListLOG3"})
            window.findChild<LogList*>(QLatin1String(list))->viewport()->installEventFilter(this);
        s_test = this;
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&watchConnection));
    }
    void TearDown() override
    {
        sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&watchConnection));
        s_test = nullptr;
        ProgramFolderTest::TearDown();
    }

    ContestoRun context() { return {display, {"sqlite:" + path("store"), "sa", "segreta", "Tavira"}, true}; }

    // The line painted last before the first step beginning with `step`.
    QString paintedBefore(const QString& step) const
    {
        for (const StoreStep& seen : steps)
            if (seen.step.startsWith(step)) return seen.painted;
        return QStringLiteral("(no such step)");
    }

    FrmMain window;
    DisplayFinestra display{window};
    std::vector<StoreStep> steps;

private:
    bool eventFilter(QObject* viewport, QEvent* event) override
    {
        const auto* list = qobject_cast<LogList*>(viewport->parent());
        if (event->type() == QEvent::Paint && list && list->count() > 0)
            m_painted = list->line(list->count() - 1).section(QStringLiteral(" -- "), 1);
        return false;
    }

    void record(const QString& step)
    {
        if (QThread::currentThread() == qApp->thread()) steps.push_back({step, m_painted});
    }

    static int watchConnection(sqlite3* connection, const char**, const sqlite3_api_routines*)
    {
        if (!s_test) return SQLITE_OK;
        s_test->record(QStringLiteral("open"));
        sqlite3_trace_v2(connection, SQLITE_TRACE_STMT, &watchStatement, nullptr);
        return SQLITE_OK;
    }

    static int watchStatement(unsigned, void*, void* statement, void*)
    {
        if (s_test) s_test->record(QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt*>(statement))));
        return 0;
    }

    static inline StoreWaitTest* s_test = nullptr;
    QString m_painted;
};

TEST_F(StoreWaitTest, TheCatalogLinesAreOnScreenBeforeTheLoginAndTheTitleQuery)
{
    ASSERT_TRUE(ScriviParametro(QStringLiteral("PathDestCatalogoTotale"), folder()));
    ASSERT_TRUE(ScriviParametro(QStringLiteral("NomeFileCatalogoTotale"), QStringLiteral("Catalogo.DAT")));
    ASSERT_EQ(esportaCatalogoTotale(context()), EsitoRun::Completata);
    EXPECT_EQ(paintedBefore(QStringLiteral("open")), QStringLiteral("Test Connessione Database Tavira"));
    EXPECT_EQ(paintedBefore(QStringLiteral("SELECT * from Prodotti")),
              QStringLiteral("Solo i Titoli non Richiamati + Quotidiani"));
}

TEST_F(StoreWaitTest, TheSalesLinesAreOnScreenBeforeThePendingSalesAreListed)
{
    ASSERT_TRUE(ScriviParametro(QStringLiteral("PathOrigineVendite"), folder()));
    ASSERT_TRUE(ScriviParametro(QStringLiteral("NomeFileVendite"), QStringLiteral("Vendite.DAT")));
    ASSERT_EQ(importaVendite(context()), EsitoRun::Completata);
    EXPECT_EQ(paintedBefore(QStringLiteral("SELECT DISTINCT IDVendita")),
              QStringLiteral("Non C'è Nessun File fa Importare"));
}
} // namespace
