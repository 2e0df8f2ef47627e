#include "services/fixedwidth.h"

#include "services/textfile.h"

QString riempiConSpazi(const QString& text, int width)
{
    if (text.size() >= width) return text.left(width);
    return text + QString(width - text.size(), QLatin1Char(' '));
}

QString riempiConZeri(const QString& text, int width)
{
    if (text.size() >= width) return text.right(width);
    return QString(width - text.size(), QLatin1Char('0')) + text;
}

QString campoTabella(const QString& value, int width)
{
    return riempiConSpazi(soloAnsi(suUnaRiga(value)), width) + QLatin1Char('|');
}

QString suUnaRiga(QString text)
{
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == u'\n' || u == u'\v' || u == u'\f' || u == 0x85 || u == 0x2028 || u == 0x2029)
            c = QLatin1Char(' ');
    }
    return text;
}

QString senzaSpazi(const QString& text)
{
    qsizetype first = 0, last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}
