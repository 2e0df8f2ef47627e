#include "modalscript.h"
#include "services/parametri.h"
#include "settings/opzioni.h"
#include "testfolder.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {
const QColor kGreen(0, 255, 0);
const QColor kLightYellow(255, 255, 128);

QRadioButton* option(QDialog& d, int index)
{
    return d.findChild<QRadioButton*>(QStringLiteral("OptionTipo_%1").arg(index));
}
QColor panel(QDialog& d, const char* name)
{
    return d.findChild<QWidget*>(QString::fromLatin1(name))->palette().color(QPalette::Window);
}

// Which option is selected and whether the panels agree with it: 0, 1, or -1 when they disagree.
int shownChoice(QDialog& d)
{
    const int checked = option(d, 1)->isChecked() ? 1 : 0;
    if (option(d, checked)->isChecked() == option(d, 1 - checked)->isChecked()) return -1;
    const QColor first = checked == 0 ? kGreen : kLightYellow;
    const QColor second = checked == 0 ? kLightYellow : kGreen;
    return panel(d, "Shape1") == first && panel(d, "Shape2") == second ? checked : -1;
}

// Clicks an option on its round indicator, as the operator would.
void clickOption(QDialog& d, int index)
{
    QRadioButton* target = option(d, index);
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(6, target->height() / 2));
}

void closeWith(QDialog& d, const char* button)
{
    QTest::mouseClick(d.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
}
} // namespace

using CatalogTitles = ProgramFolderTest;

TEST_F(CatalogTitles, OptionsAndPanelsReadAsTheCatalogDialogShowsThem)
{
    ModalScript script;
    script.then([](QDialog& d) {
        EXPECT_EQ(option(d, 0)->text(), QStringLiteral("Solo i Titoli non Richiamati"));
        EXPECT_EQ(option(d, 1)->text(), QStringLiteral("Tutti i Titoli"));
        EXPECT_EQ(d.findChild<QGroupBox*>(QStringLiteral("Frame3"))->title(),
                  QStringLiteral("Quali Titoli Esportare"));
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                  QStringLiteral(
                      "Esporta solo i Titoli non ancora richiamati in Resa ad Eccezzione dei quotidiani  "
                      "del Giorno"));
        EXPECT_EQ(
            d.findChild<QLabel*>(QStringLiteral("Label2"))->text(),
            QStringLiteral(
                "Esporta gli Ultimi 3 Numeri  di Tutti i Titoli.\nP.S.  Solo Numeri Usciti Entro 3 Mesi"));
        // Each explanation sits on its option's panel.
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label1"))->parentWidget()->objectName(),
                  QStringLiteral("Shape1"));
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label2"))->parentWidget()->objectName(),
                  QStringLiteral("Shape2"));
        closeWith(d, "CmdEsci");
    });
    mostraOpzioni(Pannello::Catalogo, nullptr);
    EXPECT_TRUE(script.finished());
}

TEST_F(CatalogTitles, StoredValueSelectsTheOption)
{
    const struct
    {
        const char* stored; // nullptr: no such line
        int expected;
    } cases[] = {{"1", 1},  {"0", 0},   {"", 0},    {nullptr, 0}, {" 2 ", 1},
                 {"-1", 1}, {"abc", 0}, {"0.0", 0}, {"1abc", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(missing)");
        writeBytes("term.ini", {});
        if (c.stored)
            writeBytes("term.ini",
                       codificaRiga(QByteArray("QUALITITOLICATALOGOTOTALE=") + c.stored) + "\r\n");
        int shown = -2;
        ModalScript script;
        script.then([&](QDialog& d) {
            shown = shownChoice(d);
            closeWith(d, "CmdEsci");
        });
        mostraOpzioni(Pannello::Catalogo, nullptr);
        EXPECT_EQ(shown, c.expected);
    }
}

TEST_F(CatalogTitles, ClickingAnOptionRecoloursThePanelsAndIsSaved)
{
    ModalScript script;
    script.then([](QDialog& d) {
        EXPECT_EQ(shownChoice(d), 0);
        clickOption(d, 1);
        EXPECT_EQ(shownChoice(d), 1);
        clickOption(d, 0);
        EXPECT_EQ(shownChoice(d), 0);
        clickOption(d, 1);
        closeWith(d, "cmdModifica");
    });
    mostraOpzioni(Pannello::Catalogo, nullptr);
    EXPECT_EQ(LeggiParametro(QStringLiteral("QualiTitoliCatalogoTotale")), QStringLiteral("1"));
}
