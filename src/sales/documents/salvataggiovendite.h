#pragma once

#include "sales/documents/documentivendita.h"
#include "services/rundisplay.h"
#include "store/transazione.h"

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QStringList>

#include <functional>

#include <optional>

class ConnessioneStore;

// Saves the documents sale by sale, each sale whole or not at all, and writes a sale's log lines once it
// is saved. On SQL Server each sale is a transaction of its own. On the embedded store, where every
// commit waits for the disk, the sales of a short stretch of time share one commit, each sale inside a
// savepoint of its own: a sale that fails is undone alone, and the sales before it are saved. Meanwhile
// the window's events run at short intervals between sales.
class SalvataggioVendite
{
public:
    // Made before the sales are listed: their listing counts towards the first window.
    SalvataggioVendite(ConnessioneStore& connection, ScriviLogVendite scriviLog,
                       std::function<void()> lasciaPassareEventi);
    // Undoes what is not saved yet; never throws.
    ~SalvataggioVendite();
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
    // passes its failure on.
    void annulla();
    // Saves what is left and writes the log lines still due.
    void chiudi();

private:
    void salva();
    // The savepoint statements, prepared once.
    void esegui(std::optional<QSqlQuery>& slot, const QString& sql);

    ConnessioneStore& m_connection;
    ScriviLogVendite m_scriviLog;
    std::function<void()> m_lasciaPassareEventi;
    bool m_grouped;
    std::optional<Transazione> m_transaction;
    QElapsedTimer m_sinceSaved; // since the last commit, or since the start
    PassoEventi m_events;
    QStringList m_logDue;
    std::optional<QSqlQuery> m_savepoint, m_release, m_rollback;
};
