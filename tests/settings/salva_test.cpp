#include "settingsfixture.h"

#include "services/failure.h"
#include "settings/opzioni.h"

#include <gtest/gtest.h>

using namespace settingstest;

TEST_P(SettingsDialog, SaveWritesTheSettingsInOrderAndLogsTwoLines)
{
    const QString chosen = subfolder(QStringLiteral("scambio"));
    ModalScript script;
    script
        .then([&](QDialog& d) {
            click(d, "cmdCambiaDB");
            EXPECT_EQ(folderBox(d)->text(), chosen);
            nameBox(d)->clear();
            QTest::keyClicks(nameBox(d), QStringLiteral("  Nuovo.DAT  "));
            click(d, "cmdModifica");
            EXPECT_FALSE(d.isVisible());
            EXPECT_TRUE(d.isEnabled());
        })
        .then(chooseFolder(chosen));
    open(script);

    const QString withSeparator = chosen + QDir::separator();
    QStringList expected{str(v().folderKey) + QLatin1Char('=') + withSeparator,
                         str(v().nameKey) + QStringLiteral("=Nuovo.DAT")};
    if (v().titles) expected << QStringLiteral("QUALITITOLICATALOGOTOTALE=0");
    EXPECT_EQ(storedLines(), expected);
    EXPECT_EQ(loggedTexts(), (QStringList{(str(v().folderLog) + withSeparator).left(60),
                                          str(v().nameLog) + QStringLiteral("  Nuovo.DAT")}));
    EXPECT_EQ(pointer(), Qt::ArrowCursor);
    EXPECT_EQ(script.unexpected(), 0);
}

TEST_P(SettingsDialog, SavingUnchangedValuesRewritesThemAll)
{
    const QString stored = subfolder(QStringLiteral("a")) + QDir::separator();
    store(str(v().folderKey), stored);
    store(str(v().nameKey), QStringLiteral("Mio.DAT"));
    if (v().titles) store(QStringLiteral("QualiTitoliCatalogoTotale"), QStringLiteral("1"));

    ModalScript script;
    script.then([&](QDialog& d) { click(d, "cmdModifica"); });
    open(script);
    QStringList expected{str(v().folderKey) + QLatin1Char('=') + stored,
                         str(v().nameKey) + QStringLiteral("=Mio.DAT")};
    if (v().titles) expected << QStringLiteral("QUALITITOLICATALOGOTOTALE=1");
    EXPECT_EQ(storedLines(), expected);
    EXPECT_EQ(loggedTexts().size(), 2);
}

TEST_P(SettingsDialog, MissingFolderIsToldAndNothingIsWritten)
{
    const QString missing = QDir::toNativeSeparators(path(QStringLiteral("manca")));
    store(str(v().folderKey), missing);
    const QByteArray before = readBytes("term.ini");

    ModalScript script;
    script
        .then([&](QDialog& d) {
            click(d, "cmdModifica");
            EXPECT_TRUE(d.isVisible());
            EXPECT_TRUE(d.isEnabled());
            EXPECT_EQ(pointer(), Qt::ArrowCursor);
            EXPECT_EQ(folderBox(d)->text(), missing + QDir::separator());
            EXPECT_EQ(nameBox(d)->text(), str(v().defaultName));
            click(d, "CmdEsci");
        })
        .then([&](QDialog& box) {
            EXPECT_EQ(qobject_cast<QMessageBox*>(&box)->icon(), QMessageBox::Critical);
            EXPECT_FALSE(box.parentWidget()->isEnabled()); // the settings dialog waits, disabled
            EXPECT_EQ(pointer(), Qt::WaitCursor);
            pressMessageBoxButton(box, QMessageBox::Ok);
        });
    open(script);
    EXPECT_EQ(script.texts(), QStringList{str(v().missingFolder)});
    EXPECT_EQ(script.titles().value(1), QStringLiteral("Attenzione!"));
    EXPECT_EQ(readBytes("term.ini"), before);
    EXPECT_FALSE(QFile::exists(path("LOG.Dat")));
}

TEST_P(SettingsDialog, EmptyNameIsToldAndNothingIsWritten)
{
    ModalScript script;
    script
        .then([&](QDialog& d) {
            nameBox(d)->setText(QStringLiteral("    "));
            click(d, "cmdModifica");
            EXPECT_TRUE(d.isVisible());
            EXPECT_TRUE(d.isEnabled());
            click(d, "CmdEsci");
        })
        .then([](QDialog& box) {
            EXPECT_EQ(qobject_cast<QMessageBox*>(&box)->icon(), QMessageBox::Critical);
            pressMessageBoxButton(box, QMessageBox::Ok);
        });
    open(script);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("Inserire il Nome del File !!!")});
    EXPECT_EQ(script.titles().value(1), QStringLiteral("Attenzione!!"));
    EXPECT_TRUE(storedLines().isEmpty());
    EXPECT_FALSE(QFile::exists(path("LOG.Dat")));
}

TEST_P(SettingsDialog, AProgramFileAsDestinationIsToldAndNothingIsWritten)
{
    // The program folder with the name of its own parameter file, in another letter case.
    store(str(v().folderKey), QDir::toNativeSeparators(folder()) + QDir::separator());
    store(str(v().nameKey), QStringLiteral("TERM.INI"));
    const QByteArray before = readBytes("term.ini");

    ModalScript script;
    script
        .then([&](QDialog& d) {
            click(d, "cmdModifica");
            EXPECT_TRUE(d.isVisible());
            click(d, "CmdEsci");
        })
        .then(pressOk());
    open(script);
    EXPECT_EQ(script.texts(),
              QStringList{QStringLiteral("Il File Scelto Sostituirebbe un File del Programma: ") +
                          QDir::toNativeSeparators(path(QStringLiteral("term.ini")))});
    EXPECT_EQ(script.titles().value(1), QStringLiteral("Attenzione!"));
    EXPECT_EQ(readBytes("term.ini"), before);
    EXPECT_FALSE(QFile::exists(path("LOG.Dat")));
}

TEST_P(SettingsDialog, StoredNameLongerThanTheBoxIsKeptWhole)
{
    const QString longName = QString(60, QLatin1Char('L')) + QStringLiteral(".DAT");
    store(str(v().folderKey), QDir::toNativeSeparators(folder()) + QDir::separator());
    store(str(v().nameKey), longName);
    ModalScript script;
    script.then([&](QDialog& d) {
        EXPECT_EQ(nameBox(d)->text(), longName);
        click(d, "cmdModifica");
    });
    open(script);
    EXPECT_EQ(LeggiParametro(str(v().nameKey)), longName);
}

TEST_P(SettingsDialog, AFileThatCannotBeWrittenIsToldInsteadOfLoggedAsSaved)
{
    store(str(v().folderKey), QDir::toNativeSeparators(folder()) + QDir::separator());
    store(str(v().nameKey), QStringLiteral("Mio.DAT"));
    store(QStringLiteral("QualiTitoliCatalogoTotale"), QStringLiteral("0"));
    ASSERT_TRUE(
        QFile::setPermissions(path("term.ini"), QFileDevice::ReadOwner)); // a changed value cannot be written
    ModalScript script;
    script
        .then([&](QDialog& d) {
            nameBox(d)->setText(QStringLiteral("Nuovo.DAT"));
            click(d, "cmdModifica");
            EXPECT_TRUE(d.isVisible());
            click(d, "CmdEsci");
        })
        .then(pressOk());
    open(script);
    EXPECT_EQ(script.titles().value(1), QStringLiteral("Attenzione!!"));
    EXPECT_EQ(LeggiParametro(str(v().nameKey)), QStringLiteral("Mio.DAT"));
    EXPECT_FALSE(QFile::exists(path("LOG.Dat")));
}

TEST_P(SettingsDialog, AFailureWhileSavingIsReportedWithTheDialogsTag)
{
    ModalScript script;
    script
        .then([&](QDialog& d) {
            nameBox(d)->clear();
            click(d, "cmdModifica");
            EXPECT_TRUE(d.isEnabled());
            EXPECT_EQ(pointer(), Qt::ArrowCursor);
            click(d, "CmdEsci");
        })
        .then(
            [](QDialog&) { throw Failure(FailureCode::InvalidCall, QStringLiteral("Chiamata non valida")); });
    open(script);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].description, QStringLiteral("Chiamata non valida") + str(v().saveTag));
}
