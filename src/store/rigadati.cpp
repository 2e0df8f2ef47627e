#include "store/rigadati.h"

QVariant RigaMappa::valore(const QString& colonna) const
{
    const auto exact = m_values.constFind(colonna);
    if (exact != m_values.constEnd()) return exact.value();
    for (auto it = m_values.constBegin(); it != m_values.constEnd(); ++it)
        if (it.key().compare(colonna, Qt::CaseInsensitive) == 0) return it.value();
    return {};
}
