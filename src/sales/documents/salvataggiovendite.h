#pragma once

#include "sales/documents/documentivendita.h"
#include "services/rundisplay.h"
#include "store/gruppovendite.h"

#include <QElapsedTimer>
#include <QStringList>

#include <functional>

class ConnessioneStore;

// Saves the documents sale by sale, each sale whole or not at all, and writes a sale's log lines once it
// is saved. Where the store lets sales wait for each other, those of a short stretch of time are saved
// together. Meanwhile the window's events run at short intervals between sales.
class SalvataggioVendite
{
public:
    // Made before the sales are listed: their listing counts towards the first window.
    SalvataggioVendite(ConnessioneStore& connection, ScriviLogVendite scriviLog,
                       std::function<void()> lasciaPassareEventi);
    SalvataggioVendite(const SalvataggioVendite&) = delete;
    SalvataggioVendite& operator=(const SalvataggioVendite&) = delete;

    // A sale begins: its writes from here on belong to it.
    void inizia();
    // Throws Failure when the store has undone the sale's writes by itself.
    void verificaAttiva();
    // The sale is complete: saved (now or with the next sales), then its log lines are written.
    void conferma(const QStringList& logLines);
    // The sale turned out to have nothing to save: whatever it wrote is undone.
    void scarta();
    // The sale failed: it is undone and the sales before it are saved. Never throws; the caller then
    // passes its failure on, or tries the sale again.
    void annulla();
    // Saves what is left and writes the log lines still due.
    void chiudi();

private:
    void salva();
    void scriviDovute();

    GruppoVendite m_group;
    ScriviLogVendite m_scriviLog;
    std::function<void()> m_lasciaPassareEventi;
    QElapsedTimer m_sinceSaved; // since the last commit, or since the start
    PassoEventi m_events;
    QStringList m_logDue;
};
