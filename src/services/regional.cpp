#include "services/regional.h"

#include <cmath>

QString dataBreve(const QDate& date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString oraSistema(const QTime& time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString NumeroInTesto(double number)
{
    if (number == 0 || std::isnan(number)) return QStringLiteral("0");
    // 'g' with 15 significant digits drops trailing zeros; very large or small magnitudes keep the
    // exponent form, as the general format does.
    QString text = QString::number(number, 'g', 15);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}
