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
#include "store/ownfiles.h"

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

FrmOpzioni::FrmOpzioni(Pannello exchange, QWidget* owner, const QString& server)
    : QDialog(owner), m_exchange(descrizioneScambio(exchange)), m_server(server),
      m_ui(std::make_unique<Ui::FrmOpzioni>())
{
    m_ui->setupUi(this);
    setObjectName(m_exchange.nomeFinestra);
    setWindowTitle(m_exchange.titoloFinestra);
    m_ui->Frame1->setTitle(m_exchange.corniceCartella);
    m_ui->txtPath->setObjectName(m_exchange.nomeCasellaCartella);
    m_ui->Frame2->setTitle(m_exchange.corniceNome);
    m_ui->cmdModifica->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton, nullptr, this));
    m_ui->CmdEsci->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton, nullptr, this));
    if (m_exchange.conQualiTitoli) {
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

        QString folder = LeggiParametro(m_exchange.chiaveCartella);
        if (senzaSpazi(folder).isEmpty()) folder = conSeparatoreFinale(cartellaProgramma());
        m_ui->txtPath->setText(folder);
        m_ui->txtPath->setToolTip(folder);

        // The 50-character limit is for typing: a longer stored name is shown whole, not cut, so
        // that saving without touching it does not change it.
        const QString name = LeggiParametro(m_exchange.chiaveNome);
        m_ui->txtNomeFile->setMaxLength(qBound(kNameLength, int(name.size()), 32767));
        m_ui->txtNomeFile->setText(name);
        if (senzaSpazi(m_ui->txtNomeFile->text()).isEmpty())
            m_ui->txtNomeFile->setText(m_exchange.nomePredefinito);

        if (m_titles) m_titles->mostraValore(LeggiParametro(chiaveQualiTitoli()));

        letEventsRun();
        setAppPointer(AppPointer::Icon);
        letEventsRun();
        setEnabled(true);
    } catch (...) {
        segnalaErrore(m_exchange.tagApertura);
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
                ScriviLog(m_exchange.logCartella + m_ui->txtPath->text());
                ScriviLog(m_exchange.logNome + m_ui->txtNomeFile->text());
                accept();
            } else {
                mostraMessaggio(this, QMessageBox::Critical, QStringLiteral("Attenzione!!"),
                                QStringLiteral("Impossibile salvare le Impostazioni nel file term.ini !!!"));
            }
        }
    } catch (...) {
        segnalaErrore(m_exchange.tagSalvataggio);
    }
    setEnabled(true);
    setAppPointer(AppPointer::Icon);
}

bool FrmOpzioni::controllaDati()
{
    if (!QFileInfo(m_ui->txtPath->text()).isDir()) {
        mostraMessaggio(this, QMessageBox::Critical, QStringLiteral("Attenzione!"),
                        m_exchange.messaggioCartellaMancante);
        return false;
    }
    if (senzaSpazi(m_ui->txtNomeFile->text()).isEmpty()) {
        mostraMessaggio(this, QMessageBox::Critical, QStringLiteral("Attenzione!!"),
                        QStringLiteral("Inserire il Nome del File !!!"));
        return false;
    }
    // The folder box's text now ends with a separator; the name is stored trimmed.
    const QString ownFile = fileProprioSostituito(m_exchange.scambio, m_ui->txtPath->text(),
                                                  senzaSpazi(m_ui->txtNomeFile->text()), m_server);
    if (!ownFile.isEmpty()) {
        mostraMessaggio(this, QMessageBox::Critical, QStringLiteral("Attenzione!"),
                        testoFileProprio(ownFile));
        return false;
    }
    return true;
}

// Every parameter is written, in order, even when an earlier write failed; the answer is whether all
// of them reached term.ini.
bool FrmOpzioni::scriviImpostazioni()
{
    bool written = ScriviParametro(m_exchange.chiaveCartella, senzaSpazi(m_ui->txtPath->text()));
    written = ScriviParametro(m_exchange.chiaveNome, senzaSpazi(m_ui->txtNomeFile->text())) && written;
    if (m_titles) written = ScriviParametro(chiaveQualiTitoli(), m_titles->valoreDaSalvare()) && written;
    return written;
}
