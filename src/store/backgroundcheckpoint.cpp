#include "store/backgroundcheckpoint.h"

#include <sqlite3.h>

#include <system_error>

BackgroundCheckpoint::BackgroundCheckpoint(sqlite3* writer, int pagineCopia, int pagineMassime)
    : m_writer(writer), m_pagineCopia(pagineCopia), m_pagineMassime(pagineMassime)
{
    if (const char* path = sqlite3_db_filename(writer, "main")) m_path = path;
    // An in-memory database has no file and no log to copy.
    if (!m_path.empty()) sqlite3_wal_hook(writer, &BackgroundCheckpoint::dopoCommit, this);
}

BackgroundCheckpoint::~BackgroundCheckpoint()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable()) m_thread.join();
    if (!m_path.empty()) sqlite3_wal_autocheckpoint(m_writer, 1000); // SQLite's own again
}

int BackgroundCheckpoint::copieFatte() const
{
    std::lock_guard lock(m_mutex);
    return m_copies;
}

// Runs in the writer's commit, on the writer's thread, with the log's length in pages.
int BackgroundCheckpoint::dopoCommit(void* self, sqlite3* writer, const char* database, int pages)
{
    auto* checkpoint = static_cast<BackgroundCheckpoint*>(self);
    bool writerCopies = false;
    {
        std::lock_guard lock(checkpoint->m_mutex);
        if (pages < checkpoint->m_pagineCopia) checkpoint->m_writerCopies = false; // started over
        if (pages >= checkpoint->m_pagineMassime) checkpoint->m_writerCopies = true;
        writerCopies = checkpoint->m_writerCopies;
    }
    if (pages < checkpoint->m_pagineCopia) return SQLITE_OK;
    if (writerCopies) {
        // Waits for a copy of the thread's under way, then catches up with the log.
        std::lock_guard copying(checkpoint->m_copying);
        sqlite3_wal_checkpoint_v2(writer, database, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        return SQLITE_OK;
    }
    try {
        std::lock_guard lock(checkpoint->m_mutex);
        checkpoint->m_due = true;
        if (!checkpoint->m_thread.joinable())
            checkpoint->m_thread = std::thread(&BackgroundCheckpoint::lavora, checkpoint);
    } catch (const std::system_error&) {
        // No thread to be had: the writer's commits copy at the longest length.
        return SQLITE_OK;
    }
    checkpoint->m_wake.notify_one();
    return SQLITE_OK;
}

void BackgroundCheckpoint::lavora()
{
    sqlite3* connection = nullptr;
    if (sqlite3_open_v2(m_path.c_str(), &connection, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(connection); // the writer's commits copy at the longest length
        return;
    }
    // Every copy is synced to the disk, as the writer's own would be.
    sqlite3_exec(connection, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_due || m_stop; });
        if (m_stop) break;
        m_due = false;
        if (m_writerCopies) continue;
        lock.unlock();
        int result = SQLITE_BUSY;
        {
            std::lock_guard copying(m_copying);
            result =
                sqlite3_wal_checkpoint_v2(connection, "main", SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        }
        lock.lock();
        if (result == SQLITE_OK) ++m_copies;
    }
    lock.unlock();
    sqlite3_close(connection);
}
