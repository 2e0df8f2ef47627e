#pragma once

#include <QByteArray>
#include <QString>

// ScriviRigaSaltata: appends a rejected line, exactly as read, to folder + "SALTATO_" + file name.
// Every failure is ignored.
void ScriviRigaSaltata(const QString& folder, const QString& fileName, const QByteArray& line);
