#include "services/exactnumber.h"

#include "services/numbers.h"

#include <QMetaType>

#include <cmath>

namespace {
// Exponents beyond this are not taken as numbers: no stored value comes near, and the digits would
// only fill memory.
constexpr int kMaxExponent = 400;

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Adds one to a string of digits.
QString piuUno(QString digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != QLatin1Char('9')) {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + digits;
}

std::optional<NumeroEsatto> daDouble(double value)
{
    if (!std::isfinite(value)) return std::nullopt;
    return NumeroEsatto::daTesto(QString::number(value, 'g', 15));
}
} // namespace

NumeroEsatto::NumeroEsatto(bool negative, QString integer, QString fraction)
    : m_negative(negative), m_integer(std::move(integer)), m_fraction(std::move(fraction))
{
    normalizza();
}

void NumeroEsatto::normalizza()
{
    qsizetype lead = 0;
    while (lead < m_integer.size() - 1 && m_integer[lead] == QLatin1Char('0'))
        ++lead;
    m_integer.remove(0, lead);
    if (m_integer.isEmpty()) m_integer = QStringLiteral("0");
    qsizetype end = m_fraction.size();
    while (end > 0 && m_fraction[end - 1] == QLatin1Char('0'))
        --end;
    m_fraction.truncate(end);
    if (zero()) m_negative = false;
}

std::optional<NumeroEsatto> NumeroEsatto::daTesto(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        negative = t[i++] == QLatin1Char('-');
    QString integer, fraction;
    while (i < t.size() && isAsciiDigit(t[i]))
        integer += t[i++];
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < t.size() && isAsciiDigit(t[i]))
            fraction += t[i++];
    }
    if (integer.isEmpty() && fraction.isEmpty()) return std::nullopt;
    int exponent = 0;
    if (i < t.size() && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        bool ok = false;
        exponent = t.mid(i + 1).toInt(&ok);
        if (!ok || std::abs(exponent) > kMaxExponent) return std::nullopt;
        i = t.size();
    }
    if (i != t.size()) return std::nullopt;
    return NumeroEsatto(negative, integer, fraction).perPotenzaDiDieci(exponent);
}

std::optional<NumeroEsatto> NumeroEsatto::daValore(const QVariant& value)
{
    if (!value.isValid() || value.isNull()) return std::nullopt;
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Long:
        return daTesto(QString::number(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
        return daTesto(QString::number(value.toULongLong()));
    case QMetaType::Bool:
        return daTesto(value.toBool() ? QStringLiteral("-1") : QStringLiteral("0"));
    case QMetaType::Double:
    case QMetaType::Float:
        return daDouble(value.toDouble());
    case QMetaType::QString:
        return daTesto(value.toString());
    case QMetaType::QByteArray:
        return daTesto(QString::fromLatin1(value.toByteArray()));
    default:
        return std::nullopt; // dates, times and anything else are not numbers
    }
}

NumeroEsatto NumeroEsatto::letto(const QVariant& value)
{
    if (const auto exact = daValore(value)) return *exact;
    if (!value.isValid() || value.isNull()) return {};
    return daDouble(leggiNumero(value.toString() + QLatin1Char(' '))).value_or(NumeroEsatto{});
}

NumeroEsatto NumeroEsatto::perPotenzaDiDieci(int places) const
{
    QString integer = m_integer, fraction = m_fraction;
    if (places > 0) {
        fraction += QString(qMax(0, places - int(fraction.size())), QLatin1Char('0'));
        integer += fraction.left(places);
        fraction.remove(0, places);
    } else if (places < 0) {
        const int shift = -places;
        integer = QString(qMax(0, shift - int(integer.size())), QLatin1Char('0')) + integer;
        fraction = integer.right(shift) + fraction;
        integer.chop(shift);
    }
    return NumeroEsatto(m_negative, integer, fraction);
}

NumeroEsatto NumeroEsatto::arrotondato(int decimals) const
{
    if (m_fraction.size() <= decimals) return *this;
    const QString kept = m_fraction.left(decimals);
    const QString dropped = m_fraction.mid(decimals); // no trailing zeros: "5" alone is an exact half
    QString digits = m_integer + kept;
    bool up = dropped[0] > QLatin1Char('5') || (dropped[0] == QLatin1Char('5') && dropped.size() > 1);
    if (dropped == QLatin1String("5")) up = (digits.back().unicode() - '0') % 2 != 0;
    if (up) digits = piuUno(digits);
    const qsizetype split = digits.size() - decimals;
    return NumeroEsatto(m_negative, digits.left(split), digits.mid(split));
}

NumeroEsatto NumeroEsatto::assoluto() const
{
    return NumeroEsatto(false, m_integer, m_fraction);
}

QString NumeroEsatto::testo() const
{
    QString text = m_negative ? QStringLiteral("-") + m_integer : m_integer;
    if (!m_fraction.isEmpty()) text += QLatin1Char('.') + m_fraction;
    return text;
}

std::optional<qint64> NumeroEsatto::inUnita(int decimals) const
{
    bool ok = false;
    const qint64 units = arrotondato(decimals).perPotenzaDiDieci(decimals).testo().toLongLong(&ok);
    return ok ? std::optional<qint64>(units) : std::nullopt;
}
