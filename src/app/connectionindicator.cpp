#include "app/connectionindicator.h"

#include <QLabel>
#include <QPalette>

namespace {
const QColor kVerde(0, 255, 0);
const QColor kRosso(255, 0, 0);

QString tooltipOf(StatoConnessione state)
{
    switch (state) {
    case StatoConnessione::Connessa:
        return QStringLiteral("Connessione al Database di Tavira Avvenuta con Successo!!");
    case StatoConnessione::NonRiuscitaAvvio:
        return QStringLiteral("Connessione al Database di Tavira non Riuscita");
    case StatoConnessione::NonRiuscita:
        return QStringLiteral("Connessione al Database di Tavira non Riuscita!!");
    case StatoConnessione::InAttesa:
        break;
    }
    return QString();
}
} // namespace

void mostraEsitoConnessione(QLabel& indicator, bool connected)
{
    QPalette palette = indicator.palette();
    palette.setColor(QPalette::Window, connected ? kVerde : kRosso);
    indicator.setPalette(palette);
    indicator.setAutoFillBackground(true);
    indicator.setText(connected ? QStringLiteral("OK") : QStringLiteral("NO"));
}

void mostraStatoConnessione(QLabel& indicator, StatoConnessione state)
{
    mostraEsitoConnessione(indicator, state == StatoConnessione::Connessa);
    indicator.setToolTip(tooltipOf(state));
}
