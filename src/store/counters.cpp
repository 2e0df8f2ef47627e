#include "store/counters.h"

#include "services/failure.h"
#include "store/storeconnection.h"
#include "store/storerow.h"

#include <QSqlQuery>

#include <limits>

namespace {
qint32 asCounterValue(const QVariant& value)
{
    if (value.isNull() || !value.isValid()) return -1;
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    if (!ok || number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
        throw Failure(FailureCode::Overflow,
                      QStringLiteral("Valore del contatore non valido: %1").arg(value.toString()));
    return qint32(number);
}
} // namespace

qint32 incrementaContatore(StoreConnection& connection, const QString& name)
{
    const SqlDialect& dialect = connection.dialetto();
    if (dialect.motore() == Motore::Embedded) {
        QSqlQuery query = connection.esegui(dialect.avanzaContatore(), {name});
        return rigaSuccessiva(query) ? asCounterValue(query.value(0)) : -1;
    }
    QSqlQuery query = connection.prepara(dialect.avanzaContatore());
    query.bindValue(0, name, QSql::In);
    query.bindValue(1, 0, QSql::Out);
    connection.eseguiPreparata(query);
    return asCounterValue(query.boundValue(1));
}
