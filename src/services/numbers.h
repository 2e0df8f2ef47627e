#pragma once

#include <QString>

// Lenient reading of a stored text as a number, as the program has always read its settings and fields:
// blanks are skipped wherever they stand, an optional sign, digits, at most one "." and an optional
// exponent; reading stops at the first character that cannot continue the number; no leading digits
// reads as 0. The decimal point is always ".".
double leggiNumero(const QString& text);

// The same reading in plain decimal notation, as the fields of the sales file are read: no exponent, so
// "1e3" reads 1.
double leggiNumeroDecimale(const QString& text);

// True when the whole trimmed text is a plain decimal number: optional sign, digits, optional "." part.
// Empty text is not a number.
bool numeroValido(const QString& text);

// Rounding of an exact half to the even neighbour. The integer forms raise an overflow Failure when the
// result does not fit; the two-decimal form rounds the value's decimal form (exactnumber.h), never the
// binary double, so 2.675 gives 2.68.
qint16 arrotondaInt16(double value);
qint32 arrotondaInt32(double value);
double arrotondaDueDecimali(double value);
