#include "store/storerow.h"

#include <QSqlRecord>

QVariant RigaMappa::valore(const QString& colonna) const
{
    const auto exact = m_values.constFind(colonna);
    if (exact != m_values.constEnd()) return exact.value();
    for (auto it = m_values.constBegin(); it != m_values.constEnd(); ++it)
        if (it.key().compare(colonna, Qt::CaseInsensitive) == 0) return it.value();
    return {};
}

RigaQuery::RigaQuery(const QSqlQuery& query) : m_query(query)
{
    const QSqlRecord columns = query.record();
    for (int i = columns.count() - 1; i >= 0; --i)
        m_positions.insert(columns.fieldName(i).toUpper(), i);
}

QVariant RigaQuery::valore(const QString& colonna) const
{
    const auto found = m_positions.constFind(colonna.toUpper());
    return found == m_positions.constEnd() ? QVariant() : m_query.value(found.value());
}
