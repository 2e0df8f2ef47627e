#pragma once

#include "errorreport.h"

#include <QDialog>

// Installs the window layer's side of the error report and of the logs: MostraErrore shows FrmErrore
// (through the modal seam), and the logs take the names of the active window and focused control
// from the application.
void installaReportErrori();
