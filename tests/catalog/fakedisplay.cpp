#include "fakedisplay.h"

namespace {
constexpr int kDotLimit = 22; // the catalog panel's row of dots
}

void DisplayFinto::scriviLog(Pannello panel, const QString& text)
{
    (panel == Pannello::Catalogo ? righe : altrePannelli) << text;
    lasciaPassareEventi();
}

void DisplayFinto::azzeraPannello(Pannello)
{
    ++azzeramenti;
    righe.clear();
    progresso.reset();
}

void DisplayFinto::impostaMassimo(Pannello, int maximum)
{
    massimi.push_back(maximum);
    progresso.maximum = float(maximum);
}

void DisplayFinto::avanzaProgresso(Pannello)
{
    ++passiProgresso;
    if (const auto percentage = progresso.advance(kDotLimit)) impostaTitolo(titoloPercentuale(*percentage));
}

void DisplayFinto::svuotaAttivita(Pannello)
{
    progresso.dots.clear();
}

void DisplayFinto::impostaTitolo(const QString& title)
{
    titoli << title;
}

void DisplayFinto::impostaOccupato(bool busy)
{
    occupato.push_back(busy);
}

void DisplayFinto::lasciaPassareEventi()
{
    ++passaggiEventi;
    if (quandoEventi) quandoEventi();
}

bool DisplayFinto::chiediSiNo(const QString& title, const QString& text)
{
    domande.push_back({title, text});
    return risposta;
}

void DisplayFinto::avvisa(IconaMessaggio icon, const QString& title, const QString& text)
{
    avvisi.push_back({icon, title, text});
}
