#include "app/runpanel.h"

#include "app/loglist.h"

#include <QImage>
#include <QLabel>
#include <QProgressBar>

PannelloRun::PannelloRun(LogList& list, QProgressBar& bar, QLabel& activity, int dotLimit)
    : m_list(list), m_bar(bar), m_activity(activity), m_dotLimit(dotLimit)
{
    // The bar and the dots change at every event pass of a run. Painting their own background, they are
    // repainted alone: otherwise the group boxes around them repaint too, their titles laid out anew
    // each time. The dots take the colour the window shows behind them, once it is on screen.
    m_bar.setAutoFillBackground(true);
}

void PannelloRun::azzera()
{
    if (!m_activity.autoFillBackground() && m_activity.isVisible()) riempiSfondoAttivita();
    m_list.clear();
    m_progress.reset();
    mostraBarra();
}

void PannelloRun::svuotaAttivita()
{
    m_progress.dots.clear();
    m_activity.setText(QString());
}

int PannelloRun::primaRigaVisibile(int lastIndex)
{
    return lastIndex > 5 ? lastIndex - 5 : 0;
}

void PannelloRun::aggiungiRighe(const QStringList& lines)
{
    if (lines.isEmpty()) return;
    m_list.addLines(lines);
    const int last = m_list.count() - 1;
    m_list.setCurrentRow(last);
    m_list.scrollToRow(primaRigaVisibile(last));
}

void PannelloRun::impostaMassimo(int maximum)
{
    m_progress.maximum = float(maximum);
    m_progress.value = 0;
    mostraBarra();
}

std::optional<int> PannelloRun::avanza()
{
    const std::optional<int> percentage = m_progress.advance(m_dotLimit);
    mostraBarra();
    if (percentage) m_activity.setText(m_progress.dots);
    return percentage;
}

void PannelloRun::mostraBarra()
{
    m_bar.setRange(int(m_progress.minimum), int(m_progress.maximum));
    m_bar.setValue(int(qMin(m_progress.value, m_progress.maximum)));
}

void PannelloRun::riempiSfondoAttivita()
{
    // The window as it shows where the dots stand, before any dot: the group boxes' tints included.
    QWidget* window = m_activity.window();
    const QPoint where = m_activity.mapTo(window, m_activity.rect().center());
    const QImage pixel = window->grab(QRect(where, QSize(1, 1))).toImage();
    if (pixel.isNull()) return;
    QPalette palette = m_activity.palette();
    palette.setColor(QPalette::Window, pixel.pixelColor(0, 0));
    m_activity.setPalette(palette);
    m_activity.setAutoFillBackground(true);
}
