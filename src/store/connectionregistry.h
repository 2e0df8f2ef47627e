#pragma once

#include <QSqlDatabase>
#include <QString>

#include <memory>

// Qt keeps every named connection in one program-wide list that is destroyed when the program ends.
// A connection test may leave a worker thread waiting on a server that never answers; when that worker
// finally returns after the program has begun to end, it must not touch the list any more. Every
// connection of the store is therefore added and removed through here.

// Adds a connection of that Qt driver under a new unique name. Throws Failure once the program is ending.
std::unique_ptr<QSqlDatabase> aggiungiConnessione(const QString& driver, QString& name);

// Closes the connection and removes it from the list. Once the program is ending the connection is
// left as it is (the process is about to go away) and nothing of Qt's is touched.
void rimuoviConnessione(std::unique_ptr<QSqlDatabase>& database, const QString& name);

// A worker thread that uses connections announces itself for its whole life, so that the program's end
// can wait for it (up to a limit) before the list goes away.
class LavoroConConnessioni
{
public:
    LavoroConConnessioni();
    ~LavoroConConnessioni();
    LavoroConConnessioni(const LavoroConConnessioni&) = delete;
    LavoroConConnessioni& operator=(const LavoroConConnessioni&) = delete;
};

// How many such workers are running now.
int lavoriInCorso();

// To be called on the main thread before the first worker starts: arranges the wait at the program's
// end (when the application object is destroyed).
void preparaFineProgramma();

// Steps run on the main thread at the program's end, before the wait (closing the shared connection).
void allaFineDelProgramma(void (*step)());
