#include "services/ui/frmerrore.h"

#include "services/activenames.h"
#include "services/programexit.h"
#include "services/ui/modal.h"

#include <QApplication>

namespace {
// MostraErrore's window: FrmErrore, owned by the active window. Without a widget application there is
// no window to show, so the failure goes straight to the log and the program ends.
void presentError(const ErrorRecord& record)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        appendErrorLog(record, versioneProgramma());
        terminaProgramma(1);
    }
    FrmErrore report(QApplication::activeWindow());
    report.mostra(record);
    eseguiModale(report);
}

ActiveNames activeNames()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return {};
    const QWidget* window = QApplication::activeWindow();
    if (!window) return {};
    const QWidget* focused = window->focusWidget();
    return {window->objectName(), focused ? focused->objectName() : QString()};
}
} // namespace

void installaReportErrori()
{
    setErrorPresenter(presentError);
    setActiveNamesProvider(activeNames);
}
