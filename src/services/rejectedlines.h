#pragma once

#include <QByteArray>
#include <QString>

// ScriviRigaSaltata: appends a rejected line, exactly as read, to folder + "SALTATO_" + file name.
// Every failure is ignored; a link planted under that name is never followed.
void ScriviRigaSaltata(const QString& folder, const QString& fileName, const QByteArray& line);
