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

// The error report: what failed and where, on a red window with a blinking warning. The failure goes to
// LogErrori.TXT as soon as the window is filled, so it is on record even when nobody is there to press
// ESCI (an unattended run, a machine switched off meanwhile). Its only way out is ESCI, which ends the
// program.
class FrmErrore : public QDialog
{
    Q_OBJECT

public:
    explicit FrmErrore(QWidget* owner = nullptr);
    ~FrmErrore() override;

    // Fills the labels with the failure and the running program's version, then appends what the window
    // shows to LogErrori.TXT. A failure is logged once, however often the window is filled or left.
    void mostra(const ErrorRecord& record);

    // ESCI: disables the window, logs the failure if that has not happened yet and ends the program.
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
    void registra();

    std::unique_ptr<Ui::FrmErrore> m_ui;
    QTimer* m_blink = nullptr;
    bool m_leaving = false;
    bool m_logged = false;
};
