#pragma once

#include <QString>

#include <functional>

// Shows a folder in the desktop's file manager. The outcome is not examined: a folder that does not
// exist is simply not shown. Tests replace the step to observe it.
void apriCartella(const QString& folder);

using FolderOpener = std::function<void(const QString& folder)>;
void impostaApriCartella(FolderOpener opener); // an empty opener restores the desktop's
