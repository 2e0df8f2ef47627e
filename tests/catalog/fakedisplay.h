#pragma once

#include "services/progress.h"
#include "services/rundisplay.h"

#include <QStringList>

#include <functional>
#include <vector>

// A window for the runs without a screen: it records what a run shows and answers its questions.
class DisplayFinto : public RunDisplay
{
public:
    struct Avviso
    {
        IconaMessaggio icona;
        QString titolo;
        QString testo;
    };
    struct Domanda
    {
        QString titolo;
        QString testo;
    };

    void scriviLog(Pannello panel, const QString& text) override;
    void azzeraPannello(Pannello panel) override;
    void impostaMassimo(Pannello panel, int maximum) override;
    void avanzaProgresso(Pannello panel) override;
    void svuotaAttivita(Pannello panel) override;
    void impostaTitolo(const QString& title) override;
    void impostaOccupato(bool busy) override;
    void lasciaPassareEventi() override;
    bool chiediSiNo(const QString& title, const QString& text) override;
    void avvisa(IconaMessaggio icon, const QString& title, const QString& text) override;

    ImpostazioniConnessione connessione; // the window's connection settings, handed to the run
    bool risposta = true;                // the answer to every question
    std::function<void()> quandoEventi;  // runs at every pass of the event loop, when set

    QStringList righe;          // catalog panel lines, as the run wrote them
    QStringList altrePannelli;  // lines sent to any other panel (none expected)
    QStringList titoli;         // every window title set, in order
    std::vector<bool> occupato; // every busy (true) / idle (false) change
    std::vector<Avviso> avvisi;
    std::vector<Domanda> domande;
    std::vector<int> massimi; // every bar maximum set
    PanelProgress progresso;  // the catalog bar and dots, as the window keeps them
    int passiProgresso = 0;
    int passaggiEventi = 0;
    int azzeramenti = 0;
};
