#include "services/numbers.h"

#include "services/exactnumber.h"
#include "services/failure.h"

#include <cmath>
#include <limits>

namespace {
bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

template <typename Int> Int roundedInto(double value)
{
    const double rounded = std::nearbyint(value); // the default rounding mode sends halves to even
    if (!std::isfinite(rounded) || rounded < double(std::numeric_limits<Int>::min()) ||
        rounded > double(std::numeric_limits<Int>::max()))
        throw Failure(FailureCode::Overflow, QStringLiteral("Overflow"));
    return Int(rounded);
}

double numeroIniziale(const QString& text, bool withExponent)
{
    QString number;
    bool digits = false, point = false, exponent = false, exponentDigits = false;
    for (const QChar c : text) {
        if (isBlank(c)) continue;
        if (c.isDigit() && c.unicode() < 128) {
            number += c;
            (exponent ? exponentDigits : digits) = true;
        } else if ((c == QLatin1Char('+') || c == QLatin1Char('-')) &&
                   (number.isEmpty() || (exponent && number.back().toUpper() == QLatin1Char('E')))) {
            number += c;
        } else if (c == QLatin1Char('.') && !point && !exponent) {
            number += c;
            point = true;
        } else if (withExponent && (c.toUpper() == QLatin1Char('E') || c.toUpper() == QLatin1Char('D')) &&
                   digits && !exponent) {
            number += QLatin1Char('E');
            exponent = true;
        } else {
            break;
        }
    }
    if (!digits) return 0;
    if (exponent && !exponentDigits) number = number.left(number.indexOf(QLatin1Char('E')));
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : 0;
}
} // namespace

double leggiNumero(const QString& text)
{
    return numeroIniziale(text, true);
}

double leggiNumeroDecimale(const QString& text)
{
    return numeroIniziale(text, false);
}

bool numeroValido(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
    qsizetype digits = 0;
    while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128)
        ++i, ++digits;
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128)
            ++i, ++digits;
    }
    return digits > 0 && i == t.size();
}

qint16 arrotondaInt16(double value)
{
    return roundedInto<qint16>(value);
}
qint32 arrotondaInt32(double value)
{
    return roundedInto<qint32>(value);
}

double arrotondaDueDecimali(double value)
{
    const auto decimal = NumeroEsatto::daValore(value);
    return decimal ? decimal->arrotondato(2).testo().toDouble() : value;
}
