#include "loglines.h"
#include "modalscript.h"
#include "services/activenames.h"
#include "services/ui/frmerrore.h"
#include "testfolder.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
const QColor kYellow(255, 255, 0);
const QColor kOrange(255, 128, 0);

QString labelText(QDialog& d, const char* name)
{
    auto* label = d.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<missing %1>").arg(QString::fromLatin1(name));
}

QColor textColour(QWidget* widget)
{
    return widget->palette().color(QPalette::WindowText);
}

// Presses ESCI as the operator would and checks that the program ended with status 1.
void pressEsci(QDialog& d)
{
    auto* esci = d.findChild<QPushButton*>(QStringLiteral("CmdEsci"));
    ASSERT_NE(esci, nullptr);
    try {
        QTest::mouseClick(esci, Qt::LeftButton);
        ADD_FAILURE() << "ESCI did not end the program";
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.status, 1);
    }
}
} // namespace

class ErrorReport : public ProgramFolderTest
{
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        installaReportErrori();
    }
    void TearDown() override
    {
        setActiveNamesProvider({});
        ProgramFolderTest::TearDown();
    }
};

TEST_F(ErrorReport, ShowsTheFailureOnARedWindowWithoutCloseBox)
{
    ModalScript script;
    script.then([](QDialog& d) {
        ASSERT_NE(qobject_cast<FrmErrore*>(&d), nullptr);
        EXPECT_EQ(d.objectName(), QStringLiteral("FrmErrore"));
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Errore!!"));
        EXPECT_FALSE(d.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        EXPECT_TRUE(d.windowFlags().testFlag(Qt::CustomizeWindowHint));
        EXPECT_TRUE(d.autoFillBackground());
        EXPECT_EQ(d.palette().color(QPalette::Window), QColor(255, 0, 0));

        EXPECT_EQ(labelText(d, "Label1"), QStringLiteral("Attenzione"));
        EXPECT_EQ(labelText(d, "Label2"),
                  QStringLiteral("L'applicazione ha generato un errore irreversibile"));
        EXPECT_EQ(textColour(d.findChild<QLabel*>(QStringLiteral("Label2"))), QColor(255, 255, 128));
        EXPECT_EQ(labelText(d, "Label3"), QStringLiteral("Numero Errore:"));
        EXPECT_EQ(labelText(d, "Label4"), QStringLiteral("Linea Errore:"));
        EXPECT_EQ(labelText(d, "Label5"), QStringLiteral("Form Attivo:"));
        EXPECT_EQ(labelText(d, "Label6"), QStringLiteral("Descrizione Errore:"));
        EXPECT_EQ(labelText(d, "Label7"), QStringLiteral("Programma Versione:"));
        EXPECT_EQ(labelText(d, "Label8"), QStringLiteral("Oggetto Attivo:"));
        EXPECT_EQ(d.findChild<QPushButton*>(QStringLiteral("CmdEsci"))->text(), QStringLiteral("&ESCI"));

        EXPECT_EQ(labelText(d, "lblNumero"), QStringLiteral("-2147467259"));
        EXPECT_EQ(labelText(d, "lblLinea"), QStringLiteral("42"));
        EXPECT_EQ(labelText(d, "lblVersione"), QStringLiteral("1.0.0"));
        EXPECT_EQ(labelText(d, "lblForm"), QStringLiteral("FrmMain"));
        EXPECT_EQ(labelText(d, "lblOggetto"), QStringLiteral("cmdImpVendite"));
        EXPECT_EQ(d.findChild<QPlainTextEdit*>(QStringLiteral("txtDescrizione"))->toPlainText(),
                  QStringLiteral("Timeout scaduto(Importa Vendite)"));
    });
    MostraErrore(-2147467259, 42, QStringLiteral("Timeout scaduto(Importa Vendite)"),
                 QStringLiteral("FrmMain"), QStringLiteral("cmdImpVendite"));
    EXPECT_EQ(script.shown(), 1);
    EXPECT_TRUE(script.finished());
}

TEST_F(ErrorReport, NumberIsShownWithoutLeadingBlank)
{
    QStringList shown;
    ModalScript script;
    script.then([&](QDialog& d) { shown << labelText(d, "lblNumero"); }).then([&](QDialog& d) {
        shown << labelText(d, "lblNumero");
    });
    MostraErrore(53, 0, QStringLiteral("File non trovato"), {}, {});
    MostraErrore(-1.5, 0, QStringLiteral("x"), {}, {});
    EXPECT_EQ(shown, (QStringList{QStringLiteral("53"), QStringLiteral("-1,5")}));
}

TEST_F(ErrorReport, WarningBlinksYellowAndOrangeEvery500Ms)
{
    ModalScript script;
    script.then([](QDialog& d) {
        auto* warning = d.findChild<QLabel*>(QStringLiteral("Label1"));
        auto* timer = d.findChild<QTimer*>(QStringLiteral("Timer1"));
        ASSERT_NE(timer, nullptr);
        EXPECT_EQ(timer->interval(), 500);
        EXPECT_TRUE(timer->isActive());
        EXPECT_EQ(textColour(warning), kYellow);
        EXPECT_TRUE(QTest::qWaitFor([&] { return textColour(warning) == kOrange; }, 3000));
        timer->stop();
        QMetaObject::invokeMethod(timer, "timeout");
        EXPECT_EQ(textColour(warning), kYellow);
        QMetaObject::invokeMethod(timer, "timeout");
        EXPECT_EQ(textColour(warning), kOrange);
    });
    MostraErrore(5, 1, QStringLiteral("x"), {}, {});
    EXPECT_TRUE(script.finished());
}

TEST_F(ErrorReport, EscapeAndClosingDoNotLeaveTheReport)
{
    ModalScript script;
    script.then([](QDialog& d) {
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_TRUE(d.isVisible());
        d.close();
        EXPECT_TRUE(d.isVisible());
    });
    MostraErrore(5, 1, QStringLiteral("x"), {}, {});
    EXPECT_TRUE(script.finished());
}

TEST_F(ErrorReport, TheEntryIsWrittenWhileTheReportIsShownAndOnlyOnce)
{
    const auto expectOneEntry = [this] {
        const auto lines = logLines(readBytes("LogErrori.TXT"));
        ASSERT_EQ(lines.size(), 2);
        EXPECT_EQ(lines[0], errorLogHeaderLine());
        EXPECT_EQ(lines[1], field("07/12/2026", 10) + field("09:05:03", 8) + field("FrmMain", 20) +
                                field("cmdCreaCatalogoTot", 20) + field("42", 6) + field("1.0.0", 10) +
                                field("-214746725", 10) + field("Timeout scaduto (Crea File Catalogo)", 300));
        for (const QByteArray& line : lines) {
            EXPECT_EQ(line.size(), 392);
            EXPECT_TRUE(line.endsWith('|'));
        }
    };
    ModalScript script;
    script.then([&](QDialog& d) {
        // Nobody has pressed ESCI yet: an unattended machine switched off now still has the record.
        expectOneEntry();
        pressEsci(d);
        EXPECT_FALSE(d.isEnabled());
        // A second click, and even a second call, write nothing more and end nothing more.
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("CmdEsci")), Qt::LeftButton);
        EXPECT_NO_THROW(qobject_cast<FrmErrore*>(&d)->esci());
    });
    MostraErrore(-2147467259, 42, QStringLiteral("Timeout scaduto (Crea File Catalogo)"),
                 QStringLiteral("FrmMain"), QStringLiteral("cmdCreaCatalogoTot"));
    EXPECT_TRUE(script.finished());
    expectOneEntry();
}

TEST_F(ErrorReport, TheEntryHoldsWhatTheWindowShowsTrimmed)
{
    ModalScript script;
    script.then([](QDialog& d) { pressEsci(d); });
    MostraErrore(1.5, 7, QStringLiteral("  File non trovato  "), QStringLiteral("   FrmOpzioniVendite  "),
                 QStringLiteral("cmdX"));
    const auto lines = logLines(readBytes("LogErrori.TXT"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1].mid(20, 21), field("FrmOpzioniVendite", 20));
    EXPECT_EQ(lines[1].mid(62, 7), field("7", 6));
    EXPECT_EQ(lines[1].mid(80, 11), field("1,5", 10));
    EXPECT_EQ(lines[1].mid(91), field("File non trovato", 300));
}

TEST_F(ErrorReport, LongDescriptionIsShownWholeAndLoggedCut)
{
    const QString description = QString(340, QLatin1Char('d')) + QStringLiteral("(Crea File Catalogo)");
    ModalScript script;
    script.then([&](QDialog& d) {
        EXPECT_EQ(d.findChild<QPlainTextEdit*>(QStringLiteral("txtDescrizione"))->toPlainText(), description);
        pressEsci(d);
    });
    MostraErrore(5, 3, description, {}, {});
    const auto lines = logLines(readBytes("LogErrori.TXT"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1].mid(91), field(QByteArray(300, 'd'), 300));
    EXPECT_EQ(lines[1].size(), 392);
}

TEST_F(ErrorReport, LineBreaksInTheDescriptionKeepTheEntryOnOneLine)
{
    ModalScript script;
    script.then([](QDialog& d) { pressEsci(d); });
    MostraErrore(5, 3, QStringLiteral("Errore\r\nsul server\ndi rete"), {}, {});
    const auto lines = logLines(readBytes("LogErrori.TXT"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1].size(), 392);
    EXPECT_EQ(lines[1].mid(91, 30), "Errore sul server di rete     ");
}

TEST_F(ErrorReport, NamesComeFromTheActiveWindowAndItsFocusedControl)
{
    QWidget window;
    window.setObjectName(QStringLiteral("FrmMain"));
    auto* button = new QPushButton(QStringLiteral("Inizio"), &window);
    button->setObjectName(QStringLiteral("cmdImpVendite"));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    button->setFocus();

    const ActiveNames names = nomiAttivi();
    EXPECT_EQ(names.form, QStringLiteral("FrmMain"));
    EXPECT_EQ(names.control, QStringLiteral("cmdImpVendite"));

    // The report is owned by the active window.
    QWidget* owner = nullptr;
    ModalScript script;
    script.then([&](QDialog& d) { owner = d.parentWidget(); });
    MostraErrore(5, 1, QStringLiteral("x"), names.form, names.control);
    EXPECT_EQ(owner, &window);

    window.hide();
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == nullptr; }, 2000));
    const ActiveNames none = nomiAttivi();
    EXPECT_TRUE(none.form.isEmpty());
    EXPECT_TRUE(none.control.isEmpty());
}
