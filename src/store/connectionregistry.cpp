#include "store/connectionregistry.h"

#include "services/failure.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {
// How long the program's end waits for workers still inside a driver: longer than the 3-second login
// limit of the connection tests and of the logins proven before a SQL Server connection opens (a worker
// with a longer limit may outlive it: its connection is then left to the process's end).
constexpr auto kEndWait = std::chrono::seconds(6);

struct Registry
{
    std::mutex mutex;
    std::condition_variable workerEnded;
    int workers = 0;
    bool ending = false;
    bool endArranged = false;
    std::vector<void (*)()> endSteps;
};

// Never destroyed: workers may still reach it while the program's static objects go away.
Registry& registry()
{
    static Registry* instance = new Registry;
    return *instance;
}

std::atomic<quint64> g_nextName{0};

void programEnding()
{
    Registry& r = registry();
    std::vector<void (*)()> steps;
    {
        std::lock_guard lock(r.mutex);
        steps = r.endSteps;
    }
    for (auto step : steps)
        step();
    std::unique_lock lock(r.mutex);
    r.workerEnded.wait_for(lock, kEndWait, [&r] { return r.workers == 0; });
    r.ending = true;
}
} // namespace

std::unique_ptr<QSqlDatabase> aggiungiConnessione(const QString& driver, QString& name)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (r.ending) throw Failure(FailureCode::Database, QStringLiteral("Il programma sta terminando"));
    name = QStringLiteral("store-%1").arg(++g_nextName);
    auto database = std::make_unique<QSqlDatabase>(QSqlDatabase::addDatabase(driver, name));
    if (!database->isValid()) {
        database.reset();
        QSqlDatabase::removeDatabase(name);
        throw Failure(FailureCode::Database,
                      QStringLiteral("Il driver %1 di Qt SQL non è disponibile").arg(driver));
    }
    return database;
}

void rimuoviConnessione(std::unique_ptr<QSqlDatabase>& database, const QString& name)
{
    if (!database) return;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (r.ending) {
        (void)database.release(); // left to the process's end
        return;
    }
    database->close();
    database.reset();
    QSqlDatabase::removeDatabase(name);
}

LavoroConConnessioni::LavoroConConnessioni()
{
    std::lock_guard lock(registry().mutex);
    ++registry().workers;
}

LavoroConConnessioni::~LavoroConConnessioni()
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    --r.workers;
    r.workerEnded.notify_all();
}

int lavoriInCorso()
{
    std::lock_guard lock(registry().mutex);
    return registry().workers;
}

void preparaFineProgramma()
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (r.endArranged) return;
    r.endArranged = true;
    qAddPostRoutine(&programEnding);
}

void allaFineDelProgramma(void (*step)())
{
    Registry& r = registry();
    {
        std::lock_guard lock(r.mutex);
        for (auto existing : r.endSteps)
            if (existing == step) return;
        r.endSteps.push_back(step);
    }
    preparaFineProgramma();
}
