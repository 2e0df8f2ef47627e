#pragma once

#include "services/progress.h"

#include <QStringList>

#include <optional>

class QLabel;
class LogList;
class QProgressBar;

// One run panel of the main window: its message list, its progress bar and its row of activity dots.
// The bar's state is kept in single precision here; the widget shows it rounded down to whole steps.
class PannelloRun
{
public:
    PannelloRun(LogList& list, QProgressBar& bar, QLabel& activity, int dotLimit);

    // List emptied; bar maximum 100, minimum 0, value 0. The dots stay.
    void azzera();
    // The activity dots become "".
    void svuotaAttivita();

    // Appends lines, selects the last and scrolls so that it shows with up to five lines above it. Their
    // cost does not grow with the lines already in the list.
    void aggiungiRighe(const QStringList& lines);

    // A run sets the number of steps it will make; the count starts again from 0.
    void impostaMassimo(int maximum);
    // One step; every tenth step the dots grow and the title percentage is returned.
    std::optional<int> avanza();

    // The first visible line once the line at lastIndex is added (0 until the list holds seven lines).
    static int primaRigaVisibile(int lastIndex);

private:
    void mostraBarra();
    void riempiSfondoAttivita();

    LogList& m_list;
    QProgressBar& m_bar;
    QLabel& m_activity;
    int m_dotLimit;
    PanelProgress m_progress;
};
