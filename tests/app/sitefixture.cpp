#include "sitefixture.h"

#include "services/programfolder.h"
#include "store/embeddedstore.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>

namespace {
QByteArray xmlEscaped(const QString& text)
{
    return text.toHtmlEscaped().toUtf8();
}
} // namespace

void SiteTest::SetUp()
{
    ProgramFolderTest::SetUp();
    ASSERT_TRUE(QDir(folder()).mkpath(QStringLiteral("store")));
    creaStoreVuoto(storeFile());
    writeSiteConfiguration(storeServer());
}

void SiteTest::TearDown()
{
    program.reset();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    ProgramFolderTest::TearDown();
}

QString SiteTest::storeServer() const
{
    return QStringLiteral("sqlite:") + path(QStringLiteral("store"));
}

QString SiteTest::storeFile() const
{
    return path(QStringLiteral("store/TAVIRA_TEST.sqlite"));
}

QString SiteTest::folderShownByDefault() const
{
    return conSeparatoreFinale(cartellaProgramma());
}

void SiteTest::writeSiteConfiguration(const QString& server)
{
    writeBytes(QStringLiteral("Tavira.XML"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                             "<Tavira debug=\"0\" terminal=\"1\" zefiroMaster=\"0\" "
                                             "toolbarShow=\"0\" dataBaseName=\"TAVIRA_TEST\">\r\n"
                                             "  <DBServerName>" +
                                                 xmlEscaped(server) +
                                                 "</DBServerName>\r\n"
                                                 "  <DBAdminUsername>sa</DBAdminUsername>\r\n"
                                                 "  <DBAdminPassword>adm1n</DBAdminPassword>\r\n"
                                                 "  <DBUsername>negozio</DBUsername>\r\n"
                                                 "  <DBPassword>pw-negozio</DBPassword>\r\n"
                                                 "</Tavira>\r\n");
}

bool SiteTest::start(const QString& commandLine, RunDisponibili runs)
{
    program = std::make_unique<Programma>(std::move(runs));
    return program->avvia(commandLine);
}

ModalScript::Step SiteTest::typePassword(const QString& password)
{
    return [password](QDialog& dialog) {
        auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("txtPassword"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"));
        if (!field || !ok) {
            ADD_FAILURE() << "not the password dialog: " << qPrintable(dialog.windowTitle());
            dialog.reject();
            return;
        }
        field->setText(password);
        QTest::mouseClick(ok, Qt::LeftButton);
    };
}

ModalScript::Step SiteTest::cancelPassword()
{
    return [](QDialog& dialog) {
        auto* exit = dialog.findChild<QPushButton*>(QStringLiteral("CmdEsci"));
        if (!exit || !dialog.findChild<QLineEdit*>(QStringLiteral("txtPassword"))) {
            ADD_FAILURE() << "not the password dialog: " << qPrintable(dialog.windowTitle());
            dialog.reject();
            return;
        }
        QTest::mouseClick(exit, Qt::LeftButton);
    };
}
