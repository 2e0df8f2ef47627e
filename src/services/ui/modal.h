#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QDialog;
class QWidget;

// Every modal window of the program (message boxes, password, folder browser, chooser, error report)
// is shown through here. A test installs a driver: the dialog is then shown without blocking and handed
// to the driver, which answers it (fills fields, clicks buttons) as an operator would.
using ModalDriver = std::function<void(QDialog& dialog)>;
void setModalDriver(ModalDriver driver);

// Shows the dialog modally and returns its result code.
int eseguiModale(QDialog& dialog);

// A message box with the program's conventions; returns the button pressed.
QMessageBox::StandardButton mostraMessaggio(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);
