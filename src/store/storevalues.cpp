#include "store/storevalues.h"

#include "services/exactnumber.h"
#include "services/textfile.h"

#include <QDateTime>
#include <QMetaType>

namespace {
bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads `count` digits at `pos`; -1 when they are not all there.
int cifre(const QString& text, qsizetype pos, int count)
{
    if (pos + count > text.size()) return -1;
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text[pos + i];
        if (!isAsciiDigit(c)) return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

// "hh:mm", "hh:mm:ss" or "hh:mm:ss.f..." (up to milliseconds kept) from `pos` to the end.
std::optional<QTime> oraDelTesto(const QString& text, qsizetype pos)
{
    const int hour = cifre(text, pos, 2);
    if (hour < 0 || pos + 2 >= text.size() || text[pos + 2] != QLatin1Char(':')) return std::nullopt;
    const int minute = cifre(text, pos + 3, 2);
    if (minute < 0) return std::nullopt;
    int second = 0, ms = 0;
    qsizetype end = pos + 5;
    if (end < text.size()) {
        if (text[end] != QLatin1Char(':') || (second = cifre(text, end + 1, 2)) < 0) return std::nullopt;
        end += 3;
        if (end < text.size()) {
            if (text[end] != QLatin1Char('.') || end + 1 == text.size()) return std::nullopt;
            for (qsizetype i = end + 1, scale = 100; i < text.size(); ++i, scale /= 10) {
                if (!isAsciiDigit(text[i])) return std::nullopt;
                ms += int(scale) * (text[i].unicode() - '0');
            }
        }
    }
    const QTime time(hour, minute, second, ms);
    if (!time.isValid()) return std::nullopt;
    return time;
}

std::optional<MomentoStore> dataDelTesto(const QString& raw)
{
    const QString text = raw.trimmed();
    int year = -1, month = -1, day = -1;
    if (text.size() >= 10 && text[4] == QLatin1Char('-') && text[7] == QLatin1Char('-')) {
        year = cifre(text, 0, 4);
        month = cifre(text, 5, 2);
        day = cifre(text, 8, 2);
    } else if (text.size() >= 10 && text[2] == QLatin1Char('/') && text[5] == QLatin1Char('/')) {
        day = cifre(text, 0, 2);
        month = cifre(text, 3, 2);
        year = cifre(text, 6, 4);
    }
    const QDate date(year, month, day);
    if (year < 0 || month < 0 || day < 0 || !date.isValid()) return std::nullopt;
    if (text.size() == 10) return MomentoStore{date, QTime(0, 0)};
    if (text[10] != QLatin1Char(' ') && text[10] != QLatin1Char('T')) return std::nullopt;
    const auto time = oraDelTesto(text, 11);
    if (!time) return std::nullopt;
    return MomentoStore{date, *time};
}
} // namespace

QVariant valoreVirgolaMobile(const QVariant& value)
{
    const int type = value.metaType().id();
    if (value.isNull() || (type != QMetaType::QString && type != QMetaType::QByteArray)) return value;
    const QString text = value.toString();
    const auto exact = NumeroEsatto::daTesto(text);
    if (!exact) return value;
    qsizetype significant = 0;
    for (const QChar c : exact->testo())
        if (isAsciiDigit(c) && (significant > 0 || c != QLatin1Char('0'))) ++significant;
    if (significant <= 15) return value;
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok) return value;
    return NumeroEsatto::daValore(number).value_or(*exact).testo();
}

QString testoDelValore(const QVariant& value)
{
    if (!value.isValid() || value.isNull()) return {};
    QString text;
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        if (const auto number = NumeroEsatto::daValore(value)) return number->testo();
        text = soloAnsi(value.toString());
        break;
    case QMetaType::QByteArray:
        text = decodificaAnsi(value.toByteArray());
        break;
    default:
        text = soloAnsi(value.toString());
        break;
    }
    // A line break or other control character inside a stored text would split the record in two for
    // the program reading the file line by line: it is written as a blank.
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char(' ');
    return text;
}

std::optional<MomentoStore> dataDelValore(const QVariant& value)
{
    if (!value.isValid() || value.isNull()) return std::nullopt;
    switch (value.metaType().id()) {
    case QMetaType::QDate:
        if (!value.toDate().isValid()) return std::nullopt;
        return MomentoStore{value.toDate(), QTime(0, 0)};
    case QMetaType::QDateTime: {
        const QDateTime moment = value.toDateTime();
        if (!moment.isValid()) return std::nullopt;
        return MomentoStore{moment.date(), moment.time()};
    }
    case QMetaType::QString:
        return dataDelTesto(value.toString());
    default:
        return std::nullopt;
    }
}
