#include "services/programfolder.h"

#include <QCoreApplication>
#include <QDir>

QString cartellaProgramma()
{
    const QString fromEnvironment = qEnvironmentVariable("ESPORTA_IMPORTA_DIR");
    QString folder;
    if (!fromEnvironment.isEmpty())
        folder = QDir(fromEnvironment).absolutePath();
    else if (QCoreApplication::instance())
        folder = QCoreApplication::applicationDirPath();
    else
        folder = QDir::currentPath();
    return QDir::toNativeSeparators(folder);
}

bool finisceConSeparatore(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'));
}

QString conSeparatoreFinale(const QString& folder)
{
    return finisceConSeparatore(folder) ? folder : folder + QDir::separator();
}

QString percorsoNelProgramma(const QString& fileName)
{
    return conSeparatoreFinale(cartellaProgramma()) + fileName;
}
