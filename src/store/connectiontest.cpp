#include "store/connectiontest.h"

#include "services/errorreport.h"
#include "services/failure.h"
#include "store/asyncopen.h"
#include "store/connectionstrings.h"
#include "store/connessionestore.h"
#include "store/databaselist.h"
#include "store/sharedconnection.h"

namespace {
// Connection tests: 3-second login and command limits, at most about 5 seconds of waiting.
constexpr int kTestLimitSeconds = 3;
constexpr int kTestWaitMs = 5000;
// The database list opens its connection with the provider's default login limit and no command limit.
constexpr int kListLoginSeconds = 15;

const QString kUnreachable = QStringLiteral("Impossibile Connettersi al DataBase");

ImpostazioniConnessione onMaster(const ImpostazioniConnessione& settings)
{
    ImpostazioniConnessione master = settings;
    master.database = QStringLiteral("master");
    return master;
}

void pumpSafely(const EventPump& pump)
{
    if (pump) pump();
}

// The shared part of both tests: the private test, then the shared connection opened once.
RisultatoProva testAndShare(const ImpostazioniConnessione& settings, const EventPump& pump, bool& result)
{
    const RisultatoProva test = provaConnessione(settings, kTestLimitSeconds, kTestWaitMs, pump);
    const bool passed = test.esito == EsitoProva::Aperta;
    if (passed && !connessioneCondivisaAperta())
        result = apriConnessioneCondivisaSeChiusa(settings, kTestLimitSeconds, kTestLimitSeconds);
    else
        result = passed;
    return test;
}
} // namespace

bool ConnettiDatabase(const ImpostazioniConnessione& settings, const EventPump& lasciaPassareEventi)
{
    bool result = false;
    try {
        pumpSafely(lasciaPassareEventi);
        impostaStringaConnessioneCorrente(
            StringaConnessione(settings.server, settings.utente, settings.password, settings.database));
        testAndShare(settings, lasciaPassareEventi, result);
    } catch (...) {
        // no message: the result stays as far as it got
    }
    try {
        pumpSafely(lasciaPassareEventi);
    } catch (...) {
    }
    return result;
}

bool ConnettiMaster(const ImpostazioniConnessione& settings, const EventPump& lasciaPassareEventi,
                    const std::function<void(const QString&)>& mostraMessaggio)
{
    bool result = false;
    try {
        impostaStringaConnessioneCorrente(
            StringaConnessioneMaster(settings.server, settings.utente, settings.password));
        const RisultatoProva test = testAndShare(onMaster(settings), lasciaPassareEventi, result);
        if (test.esito == EsitoProva::Rifiutata)
            mostraMessaggio(kUnreachable + QStringLiteral("\r\n\r\n") + test.descrizione);
        else if (test.esito != EsitoProva::Aperta)
            mostraMessaggio(kUnreachable);
    } catch (const Failure& failure) {
        pumpSafely(lasciaPassareEventi);
        mostraMessaggio(kUnreachable + QStringLiteral("\r\n\r\n") + failure.description());
    } catch (const std::exception& other) {
        pumpSafely(lasciaPassareEventi);
        mostraMessaggio(kUnreachable + QStringLiteral("\r\n\r\n") + QString::fromLocal8Bit(other.what()));
    }
    return result;
}

bool ElencaDatabase(QStringList& elenco, const QString& server, const QString& user, const QString& password)
{
    try {
        ConnessioneStore master(onMaster({server, user, password, QString()}), kListLoginSeconds, 0);
        elenco.clear();
        elenco = databaseDelNegozio(nomiDatabaseDelServer(master));
        return true;
    } catch (...) {
        segnalaErrore(QStringLiteral(" (Cambia DataBase)"));
        return false;
    }
}
