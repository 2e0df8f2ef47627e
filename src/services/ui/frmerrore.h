#pragma once

#include "services/errorreport.h"

#include <QDialog>

#include <memory>

class QTimer;

namespace Ui {
class FrmErrore;
}

// Installs the window layer's side of the error report and of the logs: MostraErrore shows FrmErrore
// (through the modal seam), and the logs take the names of the active window and focused control
// from the application.
void installaReportErrori();

// The error report: what failed and where, on a red window with a blinking warning. Its only way out is
// ESCI, which logs the failure to LogErrori.TXT and ends the program.
class FrmErrore : public QDialog
{
    Q_OBJECT

public:
    explicit FrmErrore(QWidget* owner = nullptr);
    ~FrmErrore() override;

    // Fills the labels with the failure and the running program's version.
    void mostra(const ErrorRecord& record);

    // ESCI: disables the window, appends what the window shows to LogErrori.TXT and ends the program.
    // Each step runs even when the one before failed; once started, further clicks do nothing.
    void esci();

    // Neither Escape nor the window system closes the report.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void lampeggia();
    ErrorRecord recordShown() const;

    std::unique_ptr<Ui::FrmErrore> m_ui;
    QTimer* m_blink = nullptr;
    bool m_leaving = false;
};
