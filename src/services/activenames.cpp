#include "services/activenames.h"

#include "services/seam.h"

namespace {
using ActiveNamesSeam = Seam<struct ActiveNamesTag, ActiveNames()>;
}

void setActiveNamesProvider(ActiveNamesProvider replacement)
{
    ActiveNamesSeam::sostituisci(std::move(replacement));
}

namespace {
QString& controlloRicordato()
{
    static QString remembered;
    return remembered;
}
} // namespace

void ricordaControlloAttivo(const QString& control)
{
    controlloRicordato() = control;
}

ActiveNames nomiAttivi()
{
    const ActiveNamesProvider& provider = ActiveNamesSeam::sostituto();
    ActiveNames names = provider ? provider() : ActiveNames{};
    if (names.control.isEmpty()) names.control = controlloRicordato();
    return names;
}
