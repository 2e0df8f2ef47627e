#include "store/ui/frmelencodatabase.h"

#include "ui_frmelencodatabase.h"

#include "services/ui/apppointer.h"
#include "services/ui/modal.h"
#include "store/connectiontest.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace {
void letEventsRun()
{
    QCoreApplication::processEvents();
}
} // namespace

int voceDaSelezionare(const QStringList& entries, const QString& currentName)
{
    const QString wanted = currentName.trimmed().toUpper();
    for (int i = 0; i < entries.size(); ++i)
        if (entries.at(i).trimmed().toUpper() == wanted) return i;
    return entries.isEmpty() ? -1 : 0;
}

FrmElencoDatabase::FrmElencoDatabase(const ImpostazioniConnessione& settings, QLineEdit& txtDb,
                                     QWidget* owner)
    : QDialog(owner), m_txtDb(txtDb), m_ui(std::make_unique<Ui::FrmElencoDatabase>())
{
    m_ui->setupUi(this);
    // No close box: the dialog ends through its two buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    connect(m_ui->cmdModifica, &QPushButton::clicked, this, &FrmElencoDatabase::seleziona);
    connect(m_ui->CmdEsci, &QPushButton::clicked, this, &QDialog::reject);
    carica(settings);
}

FrmElencoDatabase::~FrmElencoDatabase() = default;

void FrmElencoDatabase::carica(const ImpostazioniConnessione& settings)
{
    setAppPointer(AppPointer::Hourglass);
    letEventsRun();
    m_ui->ComboDB->clear();
    QStringList databases;
    ElencaDatabase(databases, settings.server, settings.utente,
                   settings.password); // a failure is reported there
    m_ui->ComboDB->addItems(databases);
    m_ui->ComboDB->setCurrentIndex(voceDaSelezionare(databases, m_txtDb.text()));
    setAppPointer(AppPointer::Icon);
    letEventsRun();
}

void FrmElencoDatabase::seleziona()
{
    const QString choice = m_ui->ComboDB->currentIndex() >= 0 ? m_ui->ComboDB->currentText() : QString();
    if (choice.trimmed().isEmpty()) {
        mostraMessaggio(this, QMessageBox::Critical, QStringLiteral("Attenzione"),
                        QStringLiteral("Devi Selezionare un DataBase!!"));
        return;
    }
    m_txtDb.setText(choice);
    m_txtDb.setToolTip(choice);
    done(QDialog::Accepted); // closed as CmdEsci closes it; the result tells a choice apart
}
