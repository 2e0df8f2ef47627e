#include "settingsfixture.h"

#include "services/failure.h"
#include "settings/opzioni.h"

#include <gtest/gtest.h>

using namespace settingstest;

TEST_P(SettingsDialog, OpensWithTheStoredSettings)
{
    const QString stored = subfolder(QStringLiteral("scambio")) + QDir::separator();
    store(str(v().folderKey), stored);
    store(str(v().nameKey), QStringLiteral("Mio.DAT"));
    const QByteArray before = readBytes("term.ini");

    ModalScript script;
    script.then([&](QDialog& d) {
        EXPECT_EQ(d.objectName(), str(v().window));
        EXPECT_EQ(d.windowTitle(), str(v().caption));
        EXPECT_EQ(child<QGroupBox>(d, "Frame1")->title(), str(v().folderFrame));
        EXPECT_EQ(child<QGroupBox>(d, "Frame2")->title(), str(v().nameFrame));
        EXPECT_EQ(d.findChild<QLineEdit*>(str(v().absentBox)), nullptr);
        EXPECT_TRUE(folderBox(d)->isReadOnly());
        EXPECT_EQ(folderBox(d)->text(), stored);
        EXPECT_EQ(folderBox(d)->toolTip(), stored);
        EXPECT_EQ(nameBox(d)->text(), QStringLiteral("Mio.DAT"));
        EXPECT_EQ(nameBox(d)->maxLength(), 50);
        EXPECT_FALSE(nameBox(d)->isReadOnly());
        EXPECT_EQ(child<QPushButton>(d, "cmdCambiaDB")->text(), QStringLiteral("&Cambia"));
        EXPECT_EQ(child<QPushButton>(d, "cmdModifica")->text(), QStringLiteral("&Salva Dati"));
        EXPECT_EQ(child<QPushButton>(d, "cmdModifica")->toolTip(), QStringLiteral("Modifica Dati"));
        EXPECT_EQ(child<QPushButton>(d, "CmdEsci")->text(), QStringLiteral("&ESCI"));
        EXPECT_EQ(child<QPushButton>(d, "CmdEsci")->toolTip(), QStringLiteral("Esci dal Programma"));
        EXPECT_EQ(d.findChild<QRadioButton*>(QStringLiteral("OptionTipo_0")) != nullptr, v().titles);
        EXPECT_TRUE(d.isEnabled());
        EXPECT_EQ(pointer(), Qt::ArrowCursor);
        click(d, "CmdEsci");
        EXPECT_FALSE(d.isVisible());
    });
    open(script);
    EXPECT_EQ(readBytes("term.ini"), before);
    EXPECT_FALSE(QFile::exists(path("LOG.Dat")));
}

TEST_P(SettingsDialog, NothingStoredShowsTheProgramFolderAndTheDefaultName)
{
    ModalScript script;
    script.then([&](QDialog& d) {
        EXPECT_EQ(folderBox(d)->text(), QDir::toNativeSeparators(folder()) + QDir::separator());
        EXPECT_EQ(nameBox(d)->text(), str(v().defaultName));
        click(d, "CmdEsci");
    });
    open(script);
    EXPECT_TRUE(storedLines().isEmpty()); // shown, not written
}

TEST_P(SettingsDialog, CancelledBrowserLeavesTheBoxEmptyAndASaveStoresTheSeparator)
{
    ModalScript script;
    script
        .then([&](QDialog& d) {
            click(d, "cmdCambiaDB");
            EXPECT_TRUE(folderBox(d)->text().isEmpty());
            click(d, "cmdModifica");
        })
        .then([](QDialog& browser) {
            EXPECT_NE(qobject_cast<QFileDialog*>(&browser), nullptr);
            browser.reject();
        });
    open(script);
    const QString separator(QDir::separator());
    EXPECT_EQ(storedLines().value(0), str(v().folderKey) + QLatin1Char('=') + separator);
    EXPECT_EQ(loggedTexts().value(0), str(v().folderLog) + separator);
}

TEST_P(SettingsDialog, BrowsedFolderHasNoTrailingSeparatorExceptARoot)
{
    const QString sub = subfolder(QStringLiteral("uno/due"));
    const QString root = QDir::toNativeSeparators(QDir::rootPath());
    ModalScript script;
    script
        .then([&](QDialog& d) {
            click(d, "cmdCambiaDB");
            EXPECT_EQ(folderBox(d)->text(), sub);
            click(d, "cmdCambiaDB");
            EXPECT_EQ(folderBox(d)->text(), root);
            click(d, "CmdEsci");
        })
        .then(chooseFolder(sub + QDir::separator()))
        .then(chooseFolder(root));
    open(script);
    EXPECT_TRUE(storedLines().isEmpty());
}

TEST_P(SettingsDialog, NameBoxRefusesThe51stCharacter)
{
    ModalScript script;
    script.then([&](QDialog& d) {
        nameBox(d)->clear();
        QTest::keyClicks(nameBox(d), QString(51, QLatin1Char('n')));
        EXPECT_EQ(nameBox(d)->text(), QString(50, QLatin1Char('n')));
        click(d, "CmdEsci");
    });
    open(script);
}

TEST_P(SettingsDialog, EsciWritesNothing)
{
    const QString chosen = subfolder(QStringLiteral("altrove"));
    ModalScript script;
    script
        .then([&](QDialog& d) {
            click(d, "cmdCambiaDB");
            nameBox(d)->setText(QStringLiteral("Altro.DAT"));
            click(d, "CmdEsci");
            EXPECT_FALSE(d.isVisible());
        })
        .then(chooseFolder(chosen));
    open(script);
    EXPECT_TRUE(storedLines().isEmpty());
    EXPECT_FALSE(QFile::exists(path("LOG.Dat")));
}

TEST_P(SettingsDialog, AFailureWhileOpeningIsReportedWithTheOpeningTag)
{
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("term.ini"))); // reading the parameters fails
    setErrorPresenter([this](const ErrorRecord& record) {
        errors.push_back(record);
        if (record.description.endsWith(QStringLiteral(" (LeggiParametro) ")))
            throw Failure(FailureCode::PermissionDenied, QStringLiteral("Permesso negato"));
    });
    ModalScript script;
    script.then([&](QDialog& d) {
        EXPECT_TRUE(d.isEnabled());
        EXPECT_EQ(pointer(), Qt::ArrowCursor);
        click(d, "CmdEsci");
    });
    open(script);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1].description, QStringLiteral("Permesso negato(Impostazioni Catalogo Totale)"));
}

INSTANTIATE_TEST_SUITE_P(ThreeDialogs, SettingsDialog, ::testing::ValuesIn(kVariants),
                         [](const ::testing::TestParamInfo<Variant>& info) {
                             return std::string(info.param.window);
                         });
