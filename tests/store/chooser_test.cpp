#include "modalscript.h"
#include "services/ui/modal.h"
#include "store/ui/frmelencodatabase.h"
#include "storefixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {
QComboBox* combo(QDialog& dialog)
{
    return dialog.findChild<QComboBox*>(QStringLiteral("ComboDB"));
}

void click(QDialog& dialog, const char* name)
{
    QPushButton* button = dialog.findChild<QPushButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}
} // namespace

class DatabaseChooser : public StoreFolderTest
{
protected:
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        for (const char* name : {"CORVUS_1", "master", "Tavira_B", "TAVIRA_C"})
            createStore(QString::fromLatin1(name));
    }
    QLineEdit txtDb;
};

TEST_F(DatabaseChooser, CaptionTextsAndTooltips)
{
    FrmElencoDatabase dialog(settingsFor(QString()), txtDb);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Seleziona un DataBase"));
    EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    const QList<QGroupBox*> frames = dialog.findChildren<QGroupBox*>();
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0]->title(), QStringLiteral("Seleziona un Database"));
    auto* confirm = dialog.findChild<QPushButton*>(QStringLiteral("cmdModifica"));
    auto* leave = dialog.findChild<QPushButton*>(QStringLiteral("CmdEsci"));
    ASSERT_TRUE(confirm && leave && combo(dialog));
    EXPECT_EQ(confirm->text(), QStringLiteral("&Seleziona Database"));
    EXPECT_EQ(confirm->toolTip(), QStringLiteral("Modifica Dati"));
    EXPECT_EQ(leave->text(), QStringLiteral("&ESCI"));
    EXPECT_EQ(leave->toolTip(), QStringLiteral("Esci dal Programma"));
}

TEST_F(DatabaseChooser, SelectionOnLoad)
{
    const struct
    {
        const char* name;
        QString current;
        QString selected;
    } rows[] = {
        {"same name", QStringLiteral("TAVIRA_C"), QStringLiteral("TAVIRA_C")},
        {"other case and blanks", QStringLiteral("  tavira_b "), QStringLiteral("TAVIRA_B")},
        {"no match: the first entry", QStringLiteral("TAVIRA_X"), QStringLiteral("CORVUS_1")},
        {"empty name: the first entry", QString(), QStringLiteral("CORVUS_1")},
    };
    for (const auto& row : rows) {
        txtDb.setText(row.current);
        FrmElencoDatabase dialog(settingsFor(QString()), txtDb);
        EXPECT_EQ(combo(dialog)->currentText(), row.selected) << row.name;
        EXPECT_EQ(combo(dialog)->count(), 3) << row.name;
    }
    EXPECT_EQ(voceDaSelezionare({"A", "b ", "B"}, QStringLiteral("B")), 1);
    EXPECT_EQ(voceDaSelezionare({}, QStringLiteral("B")), -1);
}

TEST_F(DatabaseChooser, ConfirmWritesTheChoiceIntoTheField)
{
    txtDb.setText(QStringLiteral("TAVIRA_C"));
    txtDb.setToolTip(QStringLiteral("TAVIRA_C"));
    FrmElencoDatabase dialog(settingsFor(QString()), txtDb);
    ModalScript script;
    script.then([](QDialog& shown) {
        combo(shown)->setCurrentIndex(combo(shown)->findText(QStringLiteral("TAVIRA_B")));
        click(shown, "cmdModifica");
    });
    EXPECT_EQ(eseguiModale(dialog), QDialog::Accepted);
    EXPECT_EQ(txtDb.text(), QStringLiteral("TAVIRA_B"));
    EXPECT_EQ(txtDb.toolTip(), QStringLiteral("TAVIRA_B"));
    EXPECT_EQ(script.unexpected(), 0);
}

TEST_F(DatabaseChooser, LeavingChangesNothing)
{
    txtDb.setText(QStringLiteral(" tavira_c"));
    txtDb.setToolTip(QStringLiteral("suggerimento"));
    FrmElencoDatabase dialog(settingsFor(QString()), txtDb);
    ModalScript script;
    script.then([](QDialog& shown) {
        combo(shown)->setCurrentIndex(0);
        click(shown, "CmdEsci");
    });
    EXPECT_EQ(eseguiModale(dialog), QDialog::Rejected);
    EXPECT_EQ(txtDb.text(), QStringLiteral(" tavira_c"));
    EXPECT_EQ(txtDb.toolTip(), QStringLiteral("suggerimento"));
}

TEST_F(DatabaseChooser, EmptyListAsksForAChoiceAndStaysOpen)
{
    txtDb.setText(QStringLiteral("TAVIRA_C"));
    ImpostazioniConnessione empty = settingsFor(QString());
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("vuota")));
    empty.server = QStringLiteral("sqlite:vuota");
    FrmElencoDatabase dialog(empty, txtDb);
    EXPECT_EQ(combo(dialog)->currentIndex(), -1);
    bool stillOpen = false;
    ModalScript script;
    script
        .then([&stillOpen](QDialog& shown) {
            click(shown, "cmdModifica");
            stillOpen = shown.isVisible();
            click(shown, "CmdEsci");
        })
        .thenPress(QMessageBox::Ok);
    EXPECT_EQ(eseguiModale(dialog), QDialog::Rejected);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("Devi Selezionare un DataBase!!")});
    EXPECT_EQ(script.titles().value(1), QStringLiteral("Attenzione"));
    EXPECT_EQ(txtDb.text(), QStringLiteral("TAVIRA_C"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(DatabaseChooser, UnreachableServerIsReportedAndLeavesAnEmptyList)
{
    ImpostazioniConnessione missing = settingsFor(QString());
    missing.server = QStringLiteral("sqlite:assente");
    FrmElencoDatabase dialog(missing, txtDb);
    EXPECT_EQ(combo(dialog)->count(), 0);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].description.endsWith(QStringLiteral(" (Cambia DataBase)")));
}
