#include "store/conflittostore.h"

#include <QRegularExpression>

bool eConflitto(const QString& nativeCodes, const QStringList& states)
{
    static const QStringList codes = {QStringLiteral("1205"), QStringLiteral("1222"),
                                      QStringLiteral("33557097")};
    // FreeTDS names the time-out by its ODBC 2 state, S1T00.
    static const QStringList conflictStates = {QStringLiteral("HYT00"), QStringLiteral("S1T00"),
                                               QStringLiteral("40001")};
    static const QRegularExpression separators(QStringLiteral("[;,\\s]+"));
    for (const QString& code : nativeCodes.split(separators, Qt::SkipEmptyParts))
        if (codes.contains(code)) return true;
    for (const QString& state : states)
        if (conflictStates.contains(state.trimmed(), Qt::CaseInsensitive)) return true;
    return false;
}
