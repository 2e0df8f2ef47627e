#pragma once

#include <QString>

#include <optional>

// The progress of one run panel: bar values in single precision, as the window shows them, and the row
// of activity dots.
struct PanelProgress
{
    float minimum = 0;
    float maximum = 100;
    float value = 0;
    QString dots;

    void reset();

    // One step: the value grows by 1. Every tenth step (the value's decimal text ends in "0") a dot is
    // added, the row being emptied once longer than `dotLimit` (0: no limit), and the percentage for the
    // title is returned: value * (100 / maximum) in single precision, half to even.
    std::optional<int> advance(int dotLimit);
};

// Window titles of a run.
QString titoloBase();                      // "Esporta Importa in 'Vetrina'"
QString titoloInizioRun();                 // "(0%) Esporta Importa in 'Vetrina'"
QString titoloPercentuale(int percentage); // "(40 %) Esporta Importa in 'Vetrina'"
