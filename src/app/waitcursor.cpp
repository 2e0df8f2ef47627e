#include "app/waitcursor.h"

#include <QApplication>

CursoreAttesa::CursoreAttesa()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

CursoreAttesa::~CursoreAttesa()
{
    QApplication::restoreOverrideCursor();
}
