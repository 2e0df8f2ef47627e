#pragma once

#include "services/connectionsettings.h"

#include <QString>

// The three run panels of the main window.
enum class Pannello { Catalogo, Vendite, Aggiornamento };

enum class IconaMessaggio { Critica, Informazione };

// What a run (catalog export, sales import) may do to the window. The runs see nothing else of it, so
// they run and are tested without a screen.
class RunDisplay
{
public:
    virtual ~RunDisplay() = default;

    // ScriviLogCatalogo / ScriviLogVendite: a time-stamped line in the panel's list, the text in the
    // activity log, then pending window events run.
    virtual void scriviLog(Pannello panel, const QString& text) = 0;

    // Panel reset: list emptied; bar maximum 100, minimum 0, value 0.
    virtual void azzeraPannello(Pannello panel) = 0;
    virtual void impostaMassimo(Pannello panel, int maximum) = 0;
    // AvanzaProgresso: one step of the bar; every tenth step the title percentage and the dots.
    virtual void avanzaProgresso(Pannello panel) = 0;
    virtual void svuotaAttivita(Pannello panel) = 0; // the activity label becomes ""

    virtual void impostaTitolo(const QString& title) = 0;
    // Busy: window disabled, hourglass pointer. Idle: window enabled, the icon pointer.
    virtual void impostaOccupato(bool busy) = 0;
    virtual void lasciaPassareEventi() = 0;

    // Modal questions and messages; the runs leave them out when unattended.
    virtual bool chiediSiNo(const QString& title, const QString& text) = 0;
    virtual void avvisa(IconaMessaggio icon, const QString& title, const QString& text) = 0;

    // The connection settings held by the window.
    virtual ImpostazioniConnessione impostazioniConnessione() const = 0;
};
