#include "services/activenames.h"

#include "services/seam.h"

namespace {
using ActiveNamesSeam = Seam<struct ActiveNamesTag, ActiveNames()>;
}

void setActiveNamesProvider(ActiveNamesProvider replacement)
{
    ActiveNamesSeam::sostituisci(std::move(replacement));
}

ActiveNames nomiAttivi()
{
    const ActiveNamesProvider& provider = ActiveNamesSeam::sostituto();
    return provider ? provider() : ActiveNames{};
}
