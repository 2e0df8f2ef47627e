#pragma once

#include <QString>

// The few operations that differ between Windows and the other platforms.

// Puts `source` in place of `target` in one atomic step (the target may exist); the source is gone
// afterwards. False when the file system refuses.
bool sostituisciFileAtomicamente(const QString& source, const QString& target);
