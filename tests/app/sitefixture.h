#pragma once

#include "app/program.h"
#include "modalscript.h"
#include "testfolder.h"

#include <QLineEdit>

#include <memory>

// A shop site in the test's program folder: Tavira.XML pointing at an embedded store TAVIRA_TEST in the
// subfolder "store", and the whole program built on it, with runs that the test provides.
class SiteTest : public ProgramFolderTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Tavira.XML naming that server (by default the embedded store of the site).
    void writeSiteConfiguration(const QString& server);
    QString storeServer() const;
    QString storeFile() const; // the store's database file

    // Builds the program (the runs given, or none) and runs start-up with that command line.
    bool start(const QString& commandLine, RunDisponibili runs = {});

    template <typename T> T& find(const char* name) const
    {
        T* widget = window().findChild<T*>(QLatin1String(name));
        if (!widget) throw std::runtime_error(name);
        return *widget;
    }
    QString text(const char* field) const { return find<QLineEdit>(field).text(); }
    QString tip(const char* field) const { return find<QLineEdit>(field).toolTip(); }
    QString folderShownByDefault() const;

    FrmMain& window() const { return program->finestra(); }

    // Modal steps: the password dialog answered with a password, or cancelled.
    static ModalScript::Step typePassword(const QString& password);
    static ModalScript::Step cancelPassword();

    std::unique_ptr<Programma> program;
};
