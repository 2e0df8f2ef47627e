#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// A number held as its decimal digits: prices, stock and VAT rates are read from the store through it and
// rounded half to even as decimals, never through a binary double (2.675 to cents is 2.68). The catalog
// writes its decimal text without ever going through a fixed-size integer, so no value can overflow
// while a record is built.
class NumeroEsatto
{
public:
    NumeroEsatto() = default; // zero

    // The value of a numeric column (integers, doubles at their 15 significant digits, booleans as -1/0)
    // or a text that reads wholly as a number (blanks around it allowed: sign, digits, one ".", an
    // optional exponent). NULL, dates and any other text give nothing.
    static std::optional<NumeroEsatto> daValore(const QVariant& value);

    // The lenient reading of a stored value: the numeric value when there is one, otherwise the leading
    // number of its text as leggiNumero reads it; NULL and empty text read as 0.
    static NumeroEsatto letto(const QVariant& value);

    static std::optional<NumeroEsatto> daTesto(const QString& text);

    bool negativo() const { return m_negative; }
    bool zero() const { return m_integer == QLatin1String("0") && m_fraction.isEmpty(); }
    bool intero() const { return m_fraction.isEmpty(); }

    // Rounded to `decimals` places, an exact half going to the even neighbour.
    NumeroEsatto arrotondato(int decimals) const;
    // Multiplied by 10^places.
    NumeroEsatto perPotenzaDiDieci(int places) const;
    NumeroEsatto assoluto() const;
    // The value in units of 10^-decimals, rounded half to even (2: whole cents); nothing beyond 64 bits.
    std::optional<qint64> inUnita(int decimals) const;

    // Decimal text: digits without leading zeros or grouping, "." and the decimals only when there are
    // any, "-" in front of a negative number.
    QString testo() const;

    friend bool operator==(const NumeroEsatto&, const NumeroEsatto&) = default;

private:
    NumeroEsatto(bool negative, QString integer, QString fraction);
    void normalizza();

    bool m_negative = false;
    QString m_integer = QStringLiteral("0"); // digits, no leading zeros
    QString m_fraction;                      // digits, no trailing zeros
};
