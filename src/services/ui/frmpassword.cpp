#include "services/ui/frmpassword.h"

#include "ui_frmpassword.h"

#include "services/accessgate.h"
#include "services/errorreport.h"
#include "services/ui/modal.h"
#include "services/ui/windowplacement.h"

#include <QProxyStyle>

namespace {
// Every typed character of the password shows as "*", whatever the platform's style would use.
class AsteriskEcho : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_LineEdit_PasswordCharacter) return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

FrmPassword::FrmPassword(QWidget* owner) : QDialog(owner), m_ui(std::make_unique<Ui::FrmPassword>())
{
    m_ui->setupUi(this);
    withoutCloseBox(*this);
    setModal(true);

    auto* echo = new AsteriskEcho;
    echo->setParent(this);
    m_ui->txtPassword->setStyle(echo);

    connect(m_ui->cmdOK, &QPushButton::clicked, this, &FrmPassword::conferma);
    connect(m_ui->txtPassword, &QLineEdit::returnPressed, this, &FrmPassword::conferma);
    connect(m_ui->CmdEsci, &QPushButton::clicked, this, &QDialog::reject);
}

FrmPassword::~FrmPassword() = default;

void FrmPassword::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centerOnScreen(*this);
    m_ui->txtPassword->clear();
    m_ui->txtPassword->setFocus();
}

void FrmPassword::conferma()
{
    try {
        m_granted = false;
        if (passwordAccettata(m_ui->txtPassword->text())) {
            m_granted = true;
            accept();
            return;
        }
        mostraMessaggio(this, QMessageBox::Critical, QStringLiteral("Attenzione!!"),
                        QStringLiteral("La Password inserita non è Corretta!!"));
        m_ui->txtPassword->setFocus();
    } catch (...) {
        // A failure while checking belongs to the gate: reported, and the gate stays shut.
        m_granted = false;
        segnalaErrore(QStringLiteral(" (AccessoLimitato) "));
        QDialog::reject();
    }
}
