#pragma once

class ConnessioneStore;

// One unit of writes on a store connection: begun when made, undone when dropped unless confirmed.
// On the embedded store it takes the write lock at once, so what it reads stays as read until it ends;
// on SQL Server it turns the connection's automatic commit off until it ends.
class Transazione
{
public:
    // Throws Failure when the unit cannot begin.
    explicit Transazione(ConnessioneStore& connection);
    // Undoes what is not confirmed; never throws.
    ~Transazione();
    Transazione(const Transazione&) = delete;
    Transazione& operator=(const Transazione&) = delete;

    // Throws Failure when the store has already undone the unit by itself (a deadlock victim on SQL
    // Server, a full disk on SQLite): the writes that followed would be saved one by one, outside it.
    // On SQL Server the open transaction must be this unit's own, not one a driver began afterwards.
    void verificaAttiva();

    // Saves every write of the unit together. Throws Failure when the store refuses; the unit is then
    // undone when dropped.
    void conferma();

private:
    bool marca();

    ConnessioneStore& m_connection;
    bool m_open = false;
    int m_numero = 0; // SQL Server: the unit's mark
};
