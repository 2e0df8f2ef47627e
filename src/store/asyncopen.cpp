#include "store/asyncopen.h"

#include "store/connectionregistry.h"
#include "store/connessionestore.h"
#include "store/odbcstring.h"

#include <QElapsedTimer>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {
// How often the waiting thread looks at the worker (and calls the pump).
constexpr auto kPollInterval = std::chrono::milliseconds(15);

// Set on a test's worker: its own connection is the test, with nothing to prove first.
thread_local bool t_onTestWorker = false;

struct Outcome
{
    std::mutex mutex;
    std::condition_variable ready;
    bool done = false;
    RisultatoProva result;
};

void openOnWorker(const std::shared_ptr<Outcome>& outcome, const ImpostazioniConnessione& settings,
                  int loginTimeout, std::unique_ptr<LavoroConConnessioni> work)
{
    t_onTestWorker = true;
    RisultatoProva result;
    try {
        ConnessioneStore connection(settings, loginTimeout, loginTimeout);
        result.esito = connection.aperta() ? EsitoProva::Aperta : EsitoProva::NonAperta;
    } catch (const ConnessioneRifiutata& refused) {
        result = {EsitoProva::Rifiutata, refused.description()};
    } catch (const Failure& failure) {
        result = {EsitoProva::NonAperta, failure.description()};
    } catch (const std::exception& other) {
        result = {EsitoProva::NonAperta, QString::fromLocal8Bit(other.what())};
    } catch (...) {
        result = {EsitoProva::NonAperta, QString()};
    }
    {
        std::lock_guard lock(outcome->mutex);
        outcome->result = result;
        outcome->done = true;
        outcome->ready.notify_all();
    }
    work.reset(); // the connection is gone: the program's end need not wait any longer
}
} // namespace

bool suLavoroDiProva()
{
    return t_onTestWorker;
}

RisultatoProva provaConnessione(const ImpostazioniConnessione& settings, int loginTimeoutSeconds, int waitMs,
                                const std::function<void()>& pump)
{
    preparaFineProgramma();
    auto outcome = std::make_shared<Outcome>();
    QElapsedTimer elapsed;
    elapsed.start();
    // Announced before it starts, so that the program's end cannot miss it.
    auto work = std::make_unique<LavoroConConnessioni>();
    std::thread(openOnWorker, outcome, settings, loginTimeoutSeconds, std::move(work)).detach();

    for (;;) {
        if (pump) pump();
        std::unique_lock lock(outcome->mutex);
        if (outcome->done) return outcome->result;
        if (elapsed.elapsed() > waitMs)
            return {EsitoProva::NonAperta, QStringLiteral("Tempo di attesa scaduto")};
        outcome->ready.wait_for(lock, kPollInterval, [&outcome] { return outcome->done; });
    }
}
