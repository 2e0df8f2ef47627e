#pragma once

#include <QString>
#include <QStringList>

// LOG.Dat: one 163-character line per entry (date, time, text, active window, focused control), a
// header on a new file. Never fails towards its caller: a line that cannot be written is lost.
void ScriviLog(const QString& text);
// Several entries in a row, the file opened once for all of them.
void ScriviLog(const QStringList& texts);

QString activityLogHeader();
QString activityLogLine(const QString& text);
