#pragma once

#include <QString>

class QFile;

// The few operations that differ between Windows and the other platforms.

// Puts `source` in place of `target` in one atomic step (the target may exist); the source is gone
// afterwards. False when the file system refuses.
bool sostituisciFileAtomicamente(const QString& source, const QString& target);

// Creates the file and opens `file` on it for writing, only when nothing at all exists under that name:
// the operating system guarantees that the file is new and ours, so a link planted under the name is
// never followed and what it points at is never touched. False when the name is taken or the file
// cannot be created.
bool creaFileNuovo(QFile& file, const QString& path);

// A side file that one run writes and then puts in place or leaves behind (the catalog's and the sales
// file's TEMP_ copies): a plain file left by an earlier run that was killed is removed first; a link, a
// folder or anything else under the name is left alone and the creation fails.
bool creaFileTemporaneo(QFile& file, const QString& path);

// Opens the file for appending, creating it when missing, but never through a link: a link planted under
// the name of a side file that only grows (SALTATO_) makes the open fail.
bool apriInCoda(QFile& file, const QString& path);

// A folder that every user of this machine sees and may create files in, for what instances of the
// program started by different users (the operator, a scheduled task) must share: the machine's common
// application data on Windows (created when missing), /tmp elsewhere. Never the user's own temporary
// folder, which another user does not see.
QString cartellaComuneMacchina();
