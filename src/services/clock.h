#pragma once

#include <QDateTime>

#include <functional>

// The program's clock: every date and time written to a log, a query or a document comes from here, so
// that tests can pin it.
QDateTime adesso();

using ClockSource = std::function<QDateTime()>;
void setClock(ClockSource source); // an empty source restores the system clock
