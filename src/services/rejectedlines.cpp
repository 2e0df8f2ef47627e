#include "services/rejectedlines.h"

#include "services/textfile.h"

void ScriviRigaSaltata(const QString& folder, const QString& fileName, const QByteArray& line)
{
    aggiungiRigaGrezza(folder + QStringLiteral("SALTATO_") + fileName, line);
}
