#include "services/ui/apppointer.h"

#include <QCursor>
#include <QGuiApplication>

void setAppPointer(AppPointer pointer)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    const QCursor cursor(pointer == AppPointer::Hourglass ? Qt::WaitCursor : Qt::ArrowCursor);
    // One override for the whole program: changed in place when one is set, so that the pointer
    // never piles up entries that somebody would have to take off again.
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(cursor);
    else
        QGuiApplication::setOverrideCursor(cursor);
}
