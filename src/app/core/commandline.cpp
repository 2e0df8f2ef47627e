#include "app/core/commandline.h"

QString testoRigaComando(const QStringList& arguments)
{
    return arguments.mid(1).join(QLatin1Char(' '));
}

SwitchAvvio leggiSwitch(const QString& commandLine)
{
    const QString upper = commandLine.toUpper();
    SwitchAvvio result;
    result.senzaAccesso = upper.contains(QLatin1String("/A"));
    result.autoCatalogo = upper.contains(QLatin1String("/C"));
    result.autoVendite = upper.contains(QLatin1String("/V"));
    return result;
}
