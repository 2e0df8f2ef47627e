#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

struct sqlite3;

// Copies the write-ahead log of an embedded store back into the store's file on a thread of its own.
// Left to itself, SQLite makes the commit that takes the log past 1,000 pages copy it, with a sync of
// the log and one of the file: the connection, and the window waiting on it, stop for that. Here those
// commits only wake the thread, which copies on a connection of its own while the writer goes on.
//
// The log starts over from its beginning only when the writer begins a transaction after a copy that
// caught up with it, and a writer that never pauses gives the thread no such moment: once the log
// reaches its longest length the thread stands aside and the writer's commits copy themselves (the
// little the thread has not) until the log has started over. Nothing changes for crash safety: a
// copy, on either connection, is SQLite's own checkpoint.
class BackgroundCheckpoint
{
public:
    // Takes over the copying for the connection's main database: a log of `pagineCopia` pages or more
    // wakes the thread, one of `pagineMassime` makes the writer copy. The thread starts with the first
    // copy due; a connection that never writes that much never starts it.
    explicit BackgroundCheckpoint(sqlite3* writer, int pagineCopia = 1000, int pagineMassime = 4000);
    // Waits for a copy under way, then gives the copying back to the writer's commits.
    ~BackgroundCheckpoint();
    BackgroundCheckpoint(const BackgroundCheckpoint&) = delete;
    BackgroundCheckpoint& operator=(const BackgroundCheckpoint&) = delete;

    // How many copies the thread has made: for tests.
    int copieFatte() const;

private:
    static int dopoCommit(void* self, sqlite3* writer, const char* database, int pages);
    void lavora();

    sqlite3* m_writer;
    int m_pagineCopia;
    int m_pagineMassime;
    std::string m_path;
    mutable std::mutex m_mutex;
    std::mutex m_copying; // one copy at a time, the writer's or the thread's
    std::condition_variable m_wake;
    bool m_due = false;
    bool m_stop = false;
    bool m_writerCopies = false; // until the log has started over
    int m_copies = 0;
    std::thread m_thread;
};
