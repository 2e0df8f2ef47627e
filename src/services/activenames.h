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

// The control that had the focus when the main window went busy: a disabled window has no focused
// control, so while none is reported this one is named instead. An empty name forgets it.
void ricordaControlloAttivo(const QString& control);

using ActiveNamesProvider = std::function<ActiveNames()>;
void setActiveNamesProvider(ActiveNamesProvider provider);
