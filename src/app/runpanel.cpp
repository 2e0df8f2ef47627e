#include "app/runpanel.h"

#include "app/loglist.h"

#include <QLabel>
#include <QProgressBar>

PannelloRun::PannelloRun(LogList& list, QProgressBar& bar, QLabel& activity, int dotLimit)
    : m_list(list), m_bar(bar), m_activity(activity), m_dotLimit(dotLimit)
{
}

void PannelloRun::azzera()
{
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

void PannelloRun::aggiungiRiga(const QString& line)
{
    m_list.addLine(line);
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
