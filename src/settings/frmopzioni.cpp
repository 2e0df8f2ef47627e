#include "settings/frmopzioni.h"

#include "ui_frmopzioni.h"

#include "services/activitylog.h"
#include "services/errorreport.h"
#include "services/fixedwidth.h"
#include "services/parametri.h"
#include "services/programfolder.h"
#include "services/ui/apppointer.h"
#include "services/ui/modal.h"
#include "settings/folderbrowser.h"
#include "settings/sceltatitoli.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStyle>

namespace {
constexpr int kNameLength = 50;

void letEventsRun()
{
    QCoreApplication::processEvents();
}
} // namespace

FrmOpzioni::FrmOpzioni(TipoOpzioni kind, QWidget* owner)
    : QDialog(owner), m_variant(optionsVariant(kind)), m_ui(std::make_unique<Ui::FrmOpzioni>())
{
    m_ui->setupUi(this);
    setObjectName(m_variant.windowName);
    setWindowTitle(m_variant.caption);
    m_ui->Frame1->setTitle(m_variant.folderFrame);
    m_ui->txtPath->setObjectName(m_variant.folderBoxName);
    m_ui->Frame2->setTitle(m_variant.nameFrame);
    m_ui->cmdModifica->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton, nullptr, this));
    m_ui->CmdEsci->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton, nullptr, this));
    if (m_variant.titleSelection) {
        m_titles = new SceltaTitoli(this);
        m_ui->layoutOptions->insertWidget(m_ui->layoutOptions->indexOf(m_ui->Frame2) + 1, m_titles);
    }

    connect(m_ui->cmdCambiaDB, &QPushButton::clicked, this, &FrmOpzioni::cambiaCartella);
    connect(m_ui->cmdModifica, &QPushButton::clicked, this, &FrmOpzioni::salva);
    connect(m_ui->CmdEsci, &QPushButton::clicked, this, &QDialog::reject);
}

FrmOpzioni::~FrmOpzioni() = default;

void FrmOpzioni::carica()
{
    try {
        setAppPointer(AppPointer::Hourglass);
        letEventsRun();

        QString folder = LeggiParametro(m_variant.folderKey);
        if (senzaSpazi(folder).isEmpty()) folder = conSeparatoreFinale(cartellaProgramma());
        m_ui->txtPath->setText(folder);
        m_ui->txtPath->setToolTip(folder);

        // The 50-character limit is for typing: a longer stored name is shown whole, not cut, so
        // that saving without touching it does not change it.
        const QString name = LeggiParametro(m_variant.nameKey);
        m_ui->txtNomeFile->setMaxLength(qBound(kNameLength, int(name.size()), 32767));
        m_ui->txtNomeFile->setText(name);
        if (senzaSpazi(m_ui->txtNomeFile->text()).isEmpty())
            m_ui->txtNomeFile->setText(m_variant.defaultName);

        if (m_titles) m_titles->mostraValore(LeggiParametro(chiaveQualiTitoli()));

        letEventsRun();
        setAppPointer(AppPointer::Icon);
        letEventsRun();
        setEnabled(true);
    } catch (...) {
        segnalaErrore(m_variant.openTag);
        setEnabled(true);
        setAppPointer(AppPointer::Icon);
    }
}

void FrmOpzioni::cambiaCartella()
{
    try {
        m_ui->txtPath->clear();
        if (const auto chosen = ScegliCartella(this)) m_ui->txtPath->setText(*chosen);
    } catch (...) {
        segnalaErrore(QStringLiteral(" (ScegliCartella) "));
    }
}

void FrmOpzioni::salva()
{
    setEnabled(false);
    setAppPointer(AppPointer::Hourglass);
    try {
        if (!finisceConSeparatore(m_ui->txtPath->text()))
            m_ui->txtPath->setText(conSeparatoreFinale(m_ui->txtPath->text()));
        if (controllaDati()) {
            if (scriviImpostazioni()) {
                ScriviLog(m_variant.folderLogText + m_ui->txtPath->text());
                ScriviLog(m_variant.nameLogText + m_ui->txtNomeFile->text());
                accept();
            } else {
                mostraMessaggio(this, QMessageBox::Critical, QStringLiteral("Attenzione!!"),
                                QStringLiteral("Impossibile salvare le Impostazioni nel file term.ini !!!"));
            }
        }
    } catch (...) {
        segnalaErrore(m_variant.saveTag);
    }
    setEnabled(true);
    setAppPointer(AppPointer::Icon);
}

bool FrmOpzioni::controllaDati()
{
    if (!QFileInfo(m_ui->txtPath->text()).isDir()) {
        mostraMessaggio(this, QMessageBox::Critical, QStringLiteral("Attenzione!"),
                        m_variant.missingFolderMessage);
        return false;
    }
    if (senzaSpazi(m_ui->txtNomeFile->text()).isEmpty()) {
        mostraMessaggio(this, QMessageBox::Critical, QStringLiteral("Attenzione!!"),
                        QStringLiteral("Inserire il Nome del File !!!"));
        return false;
    }
    return true;
}

// Every parameter is written, in order, even when an earlier write failed; the answer is whether all
// of them reached term.ini.
bool FrmOpzioni::scriviImpostazioni()
{
    bool written = ScriviParametro(m_variant.folderKey, senzaSpazi(m_ui->txtPath->text()));
    written = ScriviParametro(m_variant.nameKey, senzaSpazi(m_ui->txtNomeFile->text())) && written;
    if (m_titles) written = ScriviParametro(chiaveQualiTitoli(), m_titles->valoreDaSalvare()) && written;
    return written;
}
