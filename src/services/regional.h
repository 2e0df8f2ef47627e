#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// The Italian regional forms the program is made for, used on every host whatever its locale.
QString dataBreve(const QDate& date);  // short date: dd/mm/yyyy
QString oraSistema(const QTime& time); // time: hh:mm:ss

// The general number format: up to 15 significant digits, no grouping, decimal comma; -0 reads "0".
QString NumeroInTesto(double number);
