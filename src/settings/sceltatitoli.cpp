#include "settings/sceltatitoli.h"

#include "ui_sceltatitoli.h"

#include "services/scambi.h"

#include <QButtonGroup>

namespace {
const QColor kChosen(0, 255, 0);
const QColor kOther(255, 255, 128);

void paint(QWidget* panel, const QColor& colour)
{
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, colour);
    panel->setPalette(palette);
}
} // namespace

SceltaTitoli::SceltaTitoli(QWidget* parent) : QGroupBox(parent), m_ui(std::make_unique<Ui::SceltaTitoli>())
{
    m_ui->setupUi(this);
    m_options = new QButtonGroup(this);
    m_options->setObjectName(QStringLiteral("OptionTipo"));
    m_options->addButton(m_ui->OptionTipo_0, 0);
    m_options->addButton(m_ui->OptionTipo_1, 1);
    connect(m_options, &QButtonGroup::idClicked, this, &SceltaTitoli::colora);
}

SceltaTitoli::~SceltaTitoli() = default;

void SceltaTitoli::seleziona(int index)
{
    const int chosen = index == 0 ? 0 : 1;
    m_options->button(chosen)->setChecked(true);
    colora(chosen);
}

int SceltaTitoli::indiceScelto() const
{
    return m_ui->OptionTipo_1->isChecked() ? 1 : 0;
}

void SceltaTitoli::mostraValore(const QString& stored)
{
    seleziona(leggeZero(stored) ? 0 : 1);
}

QString SceltaTitoli::valoreDaSalvare() const
{
    return indiceScelto() == 1 ? QStringLiteral("1") : QStringLiteral("0");
}

void SceltaTitoli::colora(int index)
{
    paint(m_ui->Shape1, index == 0 ? kChosen : kOther);
    paint(m_ui->Shape2, index == 0 ? kOther : kChosen);
}
