#pragma once

#include "store/archiviocatalogo.h"

#include <QDate>
#include <QString>
#include <QVariant>

// The parameter's value with a blank appended, read as a number: 0 (empty, missing or not a number
// included) is the first mode, any other number the second.
ModoSelezione modoSelezione(const QString& parameterValue);

// The line the run logs for the mode.
QString descrizioneModo(ModoSelezione mode);

// A title is a daily when its IDTipoProdotto reads as 2.
bool eQuotidiano(const QVariant& idTipoProdotto);

// Titles whose newest issue is not later than this day at 00:00 are left out: today minus 180 days.
QDate dataLimiteTitoli(const QDate& today);
