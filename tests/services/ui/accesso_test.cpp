#include "modalscript.h"
#include "services/failure.h"
#include "services/parametri.h"
#include "services/ui/accesso.h"
#include "testfolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

namespace {
const QString kWrong = QStringLiteral("La Password inserita non è Corretta!!");

QLineEdit* passwordField(QDialog& d)
{
    return d.findChild<QLineEdit*>(QStringLiteral("txtPassword"));
}

void click(QDialog& d, const char* button)
{
    auto* target = d.findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton);
}

// Types the entry and presses OK; when the window is still open afterwards, gives up with Esci. Message
// boxes are left to the script, which records and dismisses them.
struct GateAnswer
{
    bool granted;
    QStringList messages;
};

GateAnswer tryPassword(const QString& typed)
{
    ModalScript script;
    script.then([&](QDialog& d) {
        passwordField(d)->setText(typed);
        click(d, "cmdOK");
        if (d.isVisible()) click(d, "CmdEsci");
    });
    const bool granted = AccessoLimitato();
    EXPECT_EQ(AccessoConsentito(), granted);
    return {granted, script.texts()};
}

void expectGranted(const QString& typed)
{
    SCOPED_TRACE(typed.left(40).toStdString());
    const GateAnswer answer = tryPassword(typed);
    EXPECT_TRUE(answer.granted);
    EXPECT_TRUE(answer.messages.isEmpty());
}

void expectRefused(const QString& typed)
{
    SCOPED_TRACE(typed.left(40).toStdString());
    const GateAnswer answer = tryPassword(typed);
    EXPECT_FALSE(answer.granted);
    EXPECT_EQ(answer.messages, QStringList{kWrong});
}

// Answers the wrong-password message: checks its icon, title and text, presses OK.
ModalScript::Step wrongPasswordMessage()
{
    return [](QDialog& d) {
        auto* box = qobject_cast<QMessageBox*>(&d);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Attenzione!!"));
        EXPECT_EQ(box->text(), kWrong);
        pressMessageBoxButton(d, QMessageBox::Ok);
    };
}
} // namespace

using AccessGate = ProgramFolderTest;

TEST_F(AccessGate, PasswordWindowLooksAsTheOperatorKnowsIt)
{
    ModalScript script;
    script.then([](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("FrmPassword"));
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Inserisci la Password dell'Amministratore"));
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                  QStringLiteral("Accesso limitato soltanto all'Amministratore"));
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label2"))->text(),
                  QStringLiteral("Inserire la Password"));
        EXPECT_EQ(d.findChild<QPushButton*>(QStringLiteral("cmdOK"))->text(), QStringLiteral("&OK"));
        EXPECT_EQ(d.findChild<QPushButton*>(QStringLiteral("CmdEsci"))->text(), QStringLiteral("&Esci"));
        EXPECT_FALSE(d.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        EXPECT_EQ(d.minimumSize(), d.maximumSize()); // fixed border

        QLineEdit* field = passwordField(d);
        EXPECT_TRUE(field->text().isEmpty());
        EXPECT_EQ(d.focusWidget(), field);
        EXPECT_EQ(field->echoMode(), QLineEdit::Password);
        QTest::keyClicks(field, QStringLiteral("abc"));
        EXPECT_EQ(field->displayText(), QStringLiteral("***"));
        click(d, "CmdEsci");
    });
    EXPECT_FALSE(AccessoLimitato());
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(script.unexpected(), 0);
}

TEST_F(AccessGate, BuiltInPasswordsAreAcceptedWithoutAnyParameter)
{
    expectGranted(QStringLiteral("@tamarind@"));
    expectGranted(QStringLiteral("  @TAMARIND@ "));
    expectGranted(QStringLiteral("vespra"));
    expectGranted(QStringLiteral("VeSpRa"));
    expectRefused(QStringLiteral("vespr"));
    expectRefused(QStringLiteral("vespra1"));
    expectRefused(QStringLiteral("ve spra"));
}

TEST_F(AccessGate, UserPasswordCountsOnlyWhenAnAdministratorPasswordIsSet)
{
    ASSERT_TRUE(ScriviParametro(QStringLiteral("PasswordUtente"), QStringLiteral("utente1")));
    expectRefused(QStringLiteral("utente1"));
    expectGranted(QStringLiteral("vespra"));

    writeBytes("term.ini", {}); // an administrator password of blanks is no password
    ASSERT_TRUE(ScriviParametro(QStringLiteral("PasswordUtente"), QStringLiteral("utente1")));
    writeBytes("term.ini", readBytes("term.ini") + codificaRiga("PASSWORDAMMINISTRATORE=   ") + "\r\n");
    expectRefused(QStringLiteral("utente1"));

    ASSERT_TRUE(ScriviParametro(QStringLiteral("PasswordAmministratore"), QStringLiteral("Segreto")));
    expectGranted(QStringLiteral("utente1"));
}

TEST_F(AccessGate, AdministratorPasswordIgnoresCaseAndSurroundingBlanks)
{
    ASSERT_TRUE(ScriviParametro(QStringLiteral("PasswordAmministratore"), QStringLiteral("Segreto")));
    expectGranted(QStringLiteral("Segreto"));
    expectGranted(QStringLiteral("sEGRETO"));
    expectGranted(QStringLiteral("   segreto  "));
    expectRefused(QStringLiteral("segreto!"));
    expectGranted(QStringLiteral("vespra")); // the built-in ones stay accepted
}

TEST_F(AccessGate, EmptyEntryIsNeverAccepted)
{
    expectRefused(QString());
    expectRefused(QStringLiteral("    "));
    writeBytes("term.ini",
               codificaRiga("PASSWORDAMMINISTRATORE=") + "\r\n" + codificaRiga("PASSWORDUTENTE=") + "\r\n");
    expectRefused(QString());
    expectRefused(QStringLiteral("  "));
}

TEST_F(AccessGate, WrongPasswordKeepsTheWindowOpenThenCancelAnswersFalse)
{
    ModalScript script;
    script
        .then([](QDialog& d) {
            QTest::keyClicks(passwordField(d), QStringLiteral("sbagliata"));
            click(d, "cmdOK");
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(passwordField(d)->text(), QStringLiteral("sbagliata"));
            EXPECT_EQ(d.focusWidget(), passwordField(d));
            click(d, "CmdEsci");
            EXPECT_FALSE(d.isVisible());
        })
        .then(wrongPasswordMessage());
    EXPECT_FALSE(AccessoLimitato());
    EXPECT_FALSE(AccessoConsentito());
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(script.unexpected(), 0);
}

TEST_F(AccessGate, EnterInThePasswordFieldActsAsOk)
{
    ModalScript script;
    script
        .then([](QDialog& d) {
            QTest::keyClicks(passwordField(d), QStringLiteral("sbagliata"));
            QTest::keyClick(passwordField(d), Qt::Key_Return);
            EXPECT_TRUE(d.isVisible());
            passwordField(d)->clear();
            QTest::keyClicks(passwordField(d), QStringLiteral("vespra"));
            QTest::keyClick(passwordField(d), Qt::Key_Enter);
            EXPECT_FALSE(d.isVisible());
        })
        .then(wrongPasswordMessage());
    EXPECT_TRUE(AccessoLimitato());
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(script.unexpected(), 0); // one message for the wrong entry, no second one
}

TEST_F(AccessGate, EntriesOfAnyLengthOrBytesAreRefusedWithoutHarm)
{
    expectRefused(QString(10000, QLatin1Char('x')));
    QString odd;
    for (int code = 0; code < 32; ++code)
        odd += QChar(code);
    odd += QChar(0x7F) + QString(QChar(0xFF)) + QChar(0x2028) + QChar(0xD800) + QChar(0xFFFF);
    expectRefused(odd);
    expectRefused(QStringLiteral("vespra") + QChar(0));
}

TEST_F(AccessGate, TheOutcomeIsKeptUntilTheNextCall)
{
    expectGranted(QStringLiteral("vespra"));
    EXPECT_TRUE(AccessoConsentito());
    ModalScript script;
    script.then([](QDialog& d) {
        EXPECT_FALSE(AccessoConsentito()); // reset when the gate starts
        click(d, "CmdEsci");
    });
    EXPECT_FALSE(AccessoLimitato());
    EXPECT_FALSE(AccessoConsentito());
}

TEST_F(AccessGate, WindowIsOwnedByTheCaller)
{
    QWidget owner;
    QWidget* seen = nullptr;
    ModalScript script;
    script.then([&](QDialog& d) { seen = d.parentWidget(); });
    AccessoLimitato(&owner);
    EXPECT_EQ(seen, &owner);
}

TEST_F(AccessGate, AFailureIsReportedAndAnswersFalse)
{
    ModalScript script;
    script.then(
        [](QDialog&) { throw Failure(FailureCode::InvalidCall, QStringLiteral("Chiamata non valida")); });
    EXPECT_FALSE(AccessoLimitato());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 5);
    EXPECT_EQ(errors[0].description, QStringLiteral("Chiamata non valida (AccessoLimitato) "));
}
