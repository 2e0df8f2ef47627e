#include "services/ui/frmerrore.h"

#include "ui_frmerrore.h"

#include "services/fixedwidth.h"
#include "services/programexit.h"
#include "services/regional.h"
#include "services/ui/windowplacement.h"

#include <QCloseEvent>
#include <QLocale>
#include <QStyle>
#include <QTimer>

#include <limits>

namespace {
const QColor kRed(255, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kLightYellow(255, 255, 128);
const QColor kYellow(255, 255, 0);
const QColor kOrange(255, 128, 0);
constexpr int kBlinkMs = 500;

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// A step of the way out whose failure must not stop the next one.
template <typename Step> void ignoringFailures(Step step)
{
    try {
        step();
    } catch (...) {
    }
}

// The number as the report shows it (general format, decimal comma) read back.
double numberFromLabel(const QString& text)
{
    QString plain = senzaSpazi(text);
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    return ok ? value : 0;
}

qint16 lineFromLabel(const QString& text)
{
    const int value = senzaSpazi(text).toInt();
    return qint16(
        qBound(int(std::numeric_limits<qint16>::min()), value, int(std::numeric_limits<qint16>::max())));
}
} // namespace

FrmErrore::FrmErrore(QWidget* owner) : QDialog(owner), m_ui(std::make_unique<Ui::FrmErrore>())
{
    m_ui->setupUi(this);
    withoutCloseBox(*this);
    setModal(true);

    QPalette background = palette();
    background.setColor(QPalette::Window, kRed);
    setPalette(background);
    setAutoFillBackground(true);
    for (QWidget* caption :
         {m_ui->Label3, m_ui->Label4, m_ui->Label5, m_ui->Label6, m_ui->Label7, m_ui->Label8, m_ui->lblNumero,
          m_ui->lblLinea, m_ui->lblVersione, m_ui->lblForm, m_ui->lblOggetto})
        setTextColour(caption, kWhite);
    setTextColour(m_ui->Label2, kLightYellow);
    setTextColour(m_ui->Label1, kYellow);
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    m_ui->Picture1->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, this).pixmap(side));

    m_blink = new QTimer(this);
    m_blink->setObjectName(QStringLiteral("Timer1"));
    m_blink->setInterval(kBlinkMs);
    connect(m_blink, &QTimer::timeout, this, &FrmErrore::lampeggia);
    m_blink->start();

    connect(m_ui->CmdEsci, &QPushButton::clicked, this, &FrmErrore::esci);
}

FrmErrore::~FrmErrore() = default;

void FrmErrore::mostra(const ErrorRecord& record)
{
    m_ui->lblNumero->setText(NumeroInTesto(record.number));
    m_ui->lblLinea->setText(QString::number(record.line));
    m_ui->lblForm->setText(record.form);
    m_ui->lblOggetto->setText(record.control);
    m_ui->txtDescrizione->setPlainText(record.description);
    m_ui->lblVersione->setText(versioneProgramma());
    registra();
}

void FrmErrore::registra()
{
    if (m_logged) return;
    m_logged = true;
    ignoringFailures([this] { appendErrorLog(recordShown(), senzaSpazi(m_ui->lblVersione->text())); });
}

void FrmErrore::lampeggia()
{
    const bool yellow = m_ui->Label1->palette().color(QPalette::WindowText) == kYellow;
    setTextColour(m_ui->Label1, yellow ? kOrange : kYellow);
}

ErrorRecord FrmErrore::recordShown() const
{
    ErrorRecord record;
    record.number = numberFromLabel(m_ui->lblNumero->text());
    record.line = lineFromLabel(m_ui->lblLinea->text());
    record.description = senzaSpazi(suUnaRiga(m_ui->txtDescrizione->toPlainText()));
    record.form = senzaSpazi(m_ui->lblForm->text());
    record.control = senzaSpazi(m_ui->lblOggetto->text());
    return record;
}

void FrmErrore::esci()
{
    if (m_leaving) return;
    m_leaving = true;
    ignoringFailures([this] { setEnabled(false); });
    registra();
    terminaProgramma(1);
}

void FrmErrore::reject() {}

void FrmErrore::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centerOnScreen(*this);
}

void FrmErrore::closeEvent(QCloseEvent* event)
{
    event->ignore();
}
