#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// Lenient reading of a stored text as a number, as the program has always read its settings and fields:
// blanks are skipped wherever they stand, an optional sign, digits, at most one "." and an optional
// exponent; reading stops at the first character that cannot continue the number; no leading digits
// reads as 0. The decimal point is always ".".
double leggiNumero(const QString& text);

// True when the whole trimmed text is a plain decimal number: optional sign, digits, optional "." part.
// Empty text is not a number.
bool numeroValido(const QString& text);

// Rounding of an exact half to the even neighbour. The integer forms raise an overflow Failure when the
// result does not fit.
qint16 arrotondaInt16(double value);
qint32 arrotondaInt32(double value);
double arrotondaDueDecimali(double value);

// An exact decimal number: units / 10^scale. Prices, stock and VAT rates are rounded through it, never
// through a binary double, so 2.675 rounds to 2.68.
struct Decimale
{
    qint64 unita = 0;
    int scala = 0;

    // Strict decimal text: optional sign, digits, optional "." and digits, optional exponent.
    static std::optional<Decimale> daTesto(const QString& text);
    // A value as the store layer gives it: integer, decimal text, or a double (taken at the 15
    // significant digits of its general form). NULL and non-numeric values give nothing.
    static std::optional<Decimale> daValore(const QVariant& value);

    // The value times 10^decimals, rounded half to even to a whole number; nothing when it overflows.
    std::optional<qint64> arrotondato(int decimals = 0) const;
    double toDouble() const;
};
