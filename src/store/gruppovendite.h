#pragma once

#include "store/transazione.h"

#include <QString>

#include <optional>

class ConnessioneStore;

// Sales saved one after the other, each whole or not at all. On SQL Server each sale is a unit of work
// of its own, saved when it is complete. On the embedded store, where every commit waits for the disk,
// the sales of a short stretch may share one unit, each inside a savepoint of its own: a sale that
// fails is undone alone, and the sales before it stay.
class GruppoVendite
{
public:
    explicit GruppoVendite(ConnessioneStore& connection);
    // Undoes what is not saved yet; never throws.
    ~GruppoVendite();
    GruppoVendite(const GruppoVendite&) = delete;
    GruppoVendite& operator=(const GruppoVendite&) = delete;

    // A sale begins: its writes from here on belong to it.
    void inizia();
    // Throws Failure when the store has undone the sale's writes by itself.
    void verificaAttiva();
    // The sale is complete. True when it may wait in the open unit for the sales that follow; false
    // when it must be saved (salva) now.
    bool completa();
    // The sale has nothing to save: whatever it wrote is undone, the sales before it stay.
    void scarta();
    // The sale failed and is undone. True when the sales before it in the unit are saved; false when
    // they are lost with it (the store had undone the whole unit). Never throws.
    bool annulla();
    // Saves the open unit, if any.
    void salva();

private:
    void puntoDiRipristino(const QString& statement);

    ConnessioneStore& m_connection;
    const bool m_grouped;
    std::optional<Transazione> m_transaction;
};
