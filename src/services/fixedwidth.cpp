#include "services/fixedwidth.h"

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
    return riempiConSpazi(value, width) + QLatin1Char('|');
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
