#pragma once

#include <QString>

#include <functional>

// The programmatic names of the active window and of its focused control, for the logs and the error
// report. The window layer installs the provider; without one both names are blank.
struct ActiveNames
{
    QString form;
    QString control;
};

ActiveNames nomiAttivi();

using ActiveNamesProvider = std::function<ActiveNames()>;
void setActiveNamesProvider(ActiveNamesProvider provider);
