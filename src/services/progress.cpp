#include "services/progress.h"

#include <cmath>

void PanelProgress::reset()
{
    minimum = 0;
    maximum = 100;
    value = 0;
}

std::optional<int> PanelProgress::advance(int dotLimit)
{
    value += 1;
    if (!QString::number(double(value), 'g', 9).endsWith(QLatin1Char('0'))) return std::nullopt;
    const float share = 100.0f / maximum;
    const float percentage = value * share;
    dots += QLatin1Char('.');
    if (dotLimit > 0 && dots.size() > dotLimit) dots.clear();
    return int(std::nearbyint(percentage));
}

QString titoloBase()
{
    return QStringLiteral("Esporta Importa in 'Vetrina'");
}
QString titoloInizioRun()
{
    return QStringLiteral("(0%) ") + titoloBase();
}
QString titoloPercentuale(int percentage)
{
    return QStringLiteral("(%1 %) ").arg(percentage) + titoloBase();
}
