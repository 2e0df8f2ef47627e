#include "settings/folderbrowser.h"

#include "services/textfile.h"
#include "services/ui/modal.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace {
// The browser opens on the desktop, or on the home folder where there is no desktop folder.
QString startingFolder()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return QDir(desktop).exists() ? desktop : QDir::homePath();
}
} // namespace

std::optional<QString> ScegliCartella(QWidget* owner)
{
    QFileDialog browser(owner, QStringLiteral("C:\\"), startingFolder());
    browser.setObjectName(QStringLiteral("ScegliCartella"));
    browser.setFileMode(QFileDialog::Directory);
    browser.setOption(QFileDialog::ShowDirsOnly, true);
    browser.setAcceptMode(QFileDialog::AcceptOpen);
    if (eseguiModale(browser) != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = browser.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
    // cleanPath drops a trailing separator except at a root. The path then goes through the file
    // code page, as the settings store it: a name it cannot hold shows as it will be stored.
    return soloAnsi(QDir::toNativeSeparators(QDir::cleanPath(chosen.first())));
}
