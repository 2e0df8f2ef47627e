#include "services/rejectedlines.h"

#include "services/platform.h"

#include <QFile>

void ScriviRigaSaltata(const QString& folder, const QString& fileName, const QByteArray& line)
{
    QFile file;
    if (!apriInCoda(file, folder + QStringLiteral("SALTATO_") + fileName)) return;
    file.write(line + "\r\n");
}
