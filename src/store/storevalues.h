#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>

#include <optional>

// Store values read the way the catalog needs them, whichever engine gave them.

// The value as text, already in the form it will have in the file: characters that Windows-1252 cannot
// hold become "?" (one character each), control characters (line breaks, tabs) become blanks. NULL
// gives "". Numbers give their decimal text.
QString testoDelValore(const QVariant& value);

// A value of a column the driver reports as floating-point (float, real; decimal columns may be reported
// so too). A float arrives as the text of the binary double with all its digits ("2.6749999999999998"
// for a price entered as 2.675): such a text, beyond 15 significant digits, is taken at 15 significant
// digits (2.675), as the value was entered, before anything rounds it. Any other value is returned as
// it is, exact decimal texts of up to 15 significant digits included.
QVariant valoreVirgolaMobile(const QVariant& value);

// A moment of the store: a date and its time of day.
struct MomentoStore
{
    QDate data;
    QTime ora;
};

// The value as a date: a date or date-time column, or a text that reads as one ("yyyy-mm-dd" or
// "dd/mm/yyyy", optionally followed by a blank or "T" and "hh:mm", "hh:mm:ss" or "hh:mm:ss.fff").
// Nothing for NULL, numbers and any other text.
std::optional<MomentoStore> dataDelValore(const QVariant& value);
