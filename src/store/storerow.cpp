#include "store/storerow.h"

#include "services/failure.h"
#include "store/storevalues.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

bool rigaSuccessiva(QSqlQuery& query)
{
    if (query.next()) return true;
    const QSqlError error = query.lastError();
    if (error.isValid())
        throw Failure(FailureCode::Database,
                      QStringLiteral("Lettura dei dati interrotta: %1").arg(error.text().trimmed()));
    return false;
}

RigaQuery::RigaQuery(const QSqlQuery& query) : m_query(query)
{
    const QSqlRecord columns = query.record();
    for (int i = columns.count() - 1; i >= 0; --i)
        m_positions.insert(columns.fieldName(i).toUpper(), i);
    for (int i = 0; i < columns.count(); ++i) {
        const int type = columns.field(i).metaType().id();
        m_floating << (type == QMetaType::Double || type == QMetaType::Float);
    }
}

QVariant RigaQuery::valore(const QString& colonna) const
{
    const auto found = m_positions.constFind(colonna.toUpper());
    if (found == m_positions.constEnd()) return {};
    const QVariant value = m_query.value(found.value());
    return m_floating.value(found.value()) ? valoreVirgolaMobile(value) : value;
}
