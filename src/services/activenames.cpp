#include "activenames.h"

namespace {
ActiveNamesProvider& provider()
{
    static ActiveNamesProvider instance;
    return instance;
}
} // namespace

void setActiveNamesProvider(ActiveNamesProvider replacement)
{
    provider() = std::move(replacement);
}

ActiveNames nomiAttivi()
{
    return provider() ? provider()() : ActiveNames{};
}
