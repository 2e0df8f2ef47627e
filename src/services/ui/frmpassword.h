#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class FrmPassword;
}

// The administrator password window behind AccessoLimitato. OK (or Enter in the field) checks the typed
// password; a wrong one is told and the window stays open for another try; Esci gives up.
class FrmPassword : public QDialog
{
    Q_OBJECT

public:
    explicit FrmPassword(QWidget* owner = nullptr);
    ~FrmPassword() override;

    // True once an accepted password closed the window.
    bool accessoConsentito() const { return m_granted; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void conferma();

    std::unique_ptr<Ui::FrmPassword> m_ui;
    bool m_granted = false;
};
