#include "app/folderopener.h"

#include "services/seam.h"

#include <QDesktopServices>
#include <QUrl>

namespace {
using OpenerSeam = Seam<struct OpenerTag, void(const QString&)>;
}

void impostaApriCartella(FolderOpener replacement)
{
    OpenerSeam::sostituisci(std::move(replacement));
}

void apriCartella(const QString& folder)
{
    if (const FolderOpener& opener = OpenerSeam::sostituto()) {
        opener(folder);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
