#include "numbers.h"

#include "failure.h"

#include <QMetaType>

#include <cmath>
#include <limits>

namespace {
bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'); }

template <typename Int> Int roundedInto(double value)
{
    const double rounded = std::nearbyint(value); // the default rounding mode sends halves to even
    if (!std::isfinite(rounded) || rounded < double(std::numeric_limits<Int>::min()) ||
        rounded > double(std::numeric_limits<Int>::max()))
        throw Failure(FailureCode::Overflow, QStringLiteral("Overflow"));
    return Int(rounded);
}
} // namespace

double leggiNumero(const QString& text)
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
        } else if ((c.toUpper() == QLatin1Char('E') || c.toUpper() == QLatin1Char('D')) && digits && !exponent) {
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

bool numeroValido(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
    qsizetype digits = 0;
    while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) ++i, ++digits;
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) ++i, ++digits;
    }
    return digits > 0 && i == t.size();
}

qint16 arrotondaInt16(double value) { return roundedInto<qint16>(value); }
qint32 arrotondaInt32(double value) { return roundedInto<qint32>(value); }

double arrotondaDueDecimali(double value)
{
    const auto decimal = Decimale::daValore(value);
    if (!decimal) return value;
    const auto cents = decimal->arrotondato(2);
    return cents ? double(*cents) / 100.0 : value;
}

std::optional<Decimale> Decimale::daTesto(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) negative = t[i++] == QLatin1Char('-');
    QString digits;
    int scale = 0, count = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
            ++count;
            if (point) ++scale;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (count == 0) return std::nullopt;
    int exponent = 0;
    if (i < t.size() && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        bool ok = false;
        exponent = t.mid(i + 1).toInt(&ok);
        if (!ok) return std::nullopt;
        i = t.size();
    }
    if (i != t.size()) return std::nullopt;
    // Leading zeros carry no value; trailing zeros after the point are dropped where the scale allows.
    while (digits.size() > 1 && digits.front() == QLatin1Char('0')) digits.remove(0, 1);
    scale -= exponent;
    while (scale > 0 && digits.size() > 1 && digits.back() == QLatin1Char('0')) digits.chop(1), --scale;
    if (scale < 0) {
        digits += QString(-scale, QLatin1Char('0'));
        scale = 0;
    }
    if (digits.size() > 18) return std::nullopt;
    Decimale result;
    result.unita = digits.toLongLong() * (negative ? -1 : 1);
    result.scala = scale;
    return result;
}

std::optional<Decimale> Decimale::daValore(const QVariant& value)
{
    if (!value.isValid() || value.isNull()) return std::nullopt;
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Long:
        return Decimale{value.toLongLong(), 0};
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max())) return std::nullopt;
        return Decimale{value.toLongLong(), 0};
    case QMetaType::Bool:
        return Decimale{value.toBool() ? -1 : 0, 0};
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (!std::isfinite(d)) return std::nullopt;
        return daTesto(QString::number(d, 'g', 15));
    }
    default:
        return daTesto(value.toString());
    }
}

std::optional<qint64> Decimale::arrotondato(int decimals) const
{
    qint64 units = unita;
    int scale = scala;
    // Bring the value to the wanted number of decimals exactly, then round the dropped digits.
    while (scale < decimals) {
        if (units > std::numeric_limits<qint64>::max() / 10 || units < std::numeric_limits<qint64>::min() / 10)
            return std::nullopt;
        units *= 10;
        ++scale;
    }
    if (scale == decimals) return units;
    qint64 divisor = 1;
    for (int i = decimals; i < scale; ++i) {
        if (divisor > std::numeric_limits<qint64>::max() / 10) return qint64(0); // far below one unit
        divisor *= 10;
    }
    qint64 quotient = units / divisor;
    const qint64 remainder = units % divisor; // same sign as units
    const qint64 twice = (remainder < 0 ? -remainder : remainder);
    const qint64 half = divisor - twice; // compare 2*|r| with divisor without overflow
    if (twice > half || (twice == half && (quotient % 2 != 0))) quotient += (units < 0 ? -1 : 1);
    return quotient;
}

double Decimale::toDouble() const { return double(unita) / std::pow(10.0, scala); }
