#include "app/clickablelabel.h"

#include <QMouseEvent>

EtichettaCliccabile::EtichettaCliccabile(QWidget* parent) : QLabel(parent) {}

void EtichettaCliccabile::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Q_EMIT clicked();
}
