#include "store/databaselist.h"

#include "store/connessionestore.h"
#include "store/storerow.h"

#include <QDir>
#include <QSqlQuery>

QStringList nomiDatabaseDelServer(ConnessioneStore& master)
{
    QStringList names;
    if (master.motore() == Motore::Embedded) {
        const QString suffix = QStringLiteral(".sqlite");
        const QStringList files = QDir(cartellaStoreEmbedded(master.impostazioni().server))
                                      .entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QString& file : files)
            if (file.endsWith(suffix, Qt::CaseInsensitive) && file.size() > suffix.size())
                names << file.left(file.size() - suffix.size());
        return names;
    }
    QSqlQuery query = master.esegui(master.dialetto().elencoDatabase());
    while (rigaSuccessiva(query))
        names << query.value(QStringLiteral("DATABASE_NAME")).toString();
    return names;
}

QStringList databaseDelNegozio(const QStringList& names)
{
    QStringList selected;
    for (const QString& name : names) {
        const QString upper = name.toUpper();
        if (upper.startsWith(QLatin1String("CORVUS")) || upper.startsWith(QLatin1String("TAVIRA")))
            selected << upper;
    }
    return selected;
}
