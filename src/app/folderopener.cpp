#include "folderopener.h"

#include <QDesktopServices>
#include <QUrl>

namespace {
FolderOpener& opener()
{
    static FolderOpener instance;
    return instance;
}
} // namespace

void impostaApriCartella(FolderOpener replacement)
{
    opener() = std::move(replacement);
}

void apriCartella(const QString& folder)
{
    if (opener()) {
        opener()(folder);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
