#pragma once

#include "services/rundisplay.h"

#include <QString>

// What the export says to the operator: lines in the catalog panel (and the activity log), and message
// boxes that an unattended run leaves out.
class PannelloCatalogo
{
public:
    PannelloCatalogo(RunDisplay& display, bool unattended) : m_display(display), m_unattended(unattended) {}

    RunDisplay& display() const { return m_display; }
    bool automatico() const { return m_unattended; }

    void log(const QString& text) const { m_display.scriviLog(Pannello::Catalogo, text); }

    // A critical box titled "Attenzione!".
    void avvisaErrore(const QString& text) const
    {
        if (!m_unattended) m_display.avvisa(IconaMessaggio::Critica, QStringLiteral("Attenzione!"), text);
    }

    // A logged check failure: the line, then the same text in a critical box.
    void segnala(const QString& text) const
    {
        log(text);
        avvisaErrore(text);
    }

    static QString riga() { return QString(49, QLatin1Char('=')); }

private:
    RunDisplay& m_display;
    bool m_unattended;
};
