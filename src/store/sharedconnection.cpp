#include "store/sharedconnection.h"

#include "store/connectionregistry.h"
#include "store/connessionestore.h"

#include <memory>

namespace {
std::unique_ptr<ConnessioneStore>& shared()
{
    static std::unique_ptr<ConnessioneStore> connection;
    return connection;
}
} // namespace

bool apriConnessioneCondivisaSeChiusa(const ImpostazioniConnessione& settings, int loginTimeoutSeconds,
                                      int commandTimeoutSeconds)
{
    if (connessioneCondivisaAperta()) return true;
    shared().reset(); // in any other state it is closed first
    allaFineDelProgramma(&chiudiConnessioneCondivisa);
    try {
        shared() = std::make_unique<ConnessioneStore>(settings, loginTimeoutSeconds, commandTimeoutSeconds);
    } catch (...) {
        return false;
    }
    return connessioneCondivisaAperta();
}

bool connessioneCondivisaAperta()
{
    return shared() && shared()->aperta();
}

ImpostazioniConnessione impostazioniConnessioneCondivisa()
{
    return connessioneCondivisaAperta() ? shared()->impostazioni() : ImpostazioniConnessione();
}

void chiudiConnessioneCondivisa()
{
    shared().reset();
}
