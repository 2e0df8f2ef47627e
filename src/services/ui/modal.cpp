#include "services/ui/modal.h"

#include "services/seam.h"

#include <QApplication>
#include <QDialog>

namespace {
using DriverSeam = Seam<struct DriverTag, void(QDialog&)>;
}

void setModalDriver(ModalDriver replacement)
{
    DriverSeam::sostituisci(std::move(replacement));
}

int eseguiModale(QDialog& dialog)
{
    const ModalDriver& driver = DriverSeam::sostituto();
    if (!driver) return dialog.exec();
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    QApplication::processEvents();
    driver(dialog);
    if (dialog.isVisible()) dialog.reject(); // a driver that left it open answers "cancel"
    return dialog.result();
}

QMessageBox::StandardButton mostraMessaggio(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                            const QString& text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    eseguiModale(box);
    QAbstractButton* clicked = box.clickedButton();
    return clicked ? box.standardButton(clicked) : QMessageBox::NoButton;
}
