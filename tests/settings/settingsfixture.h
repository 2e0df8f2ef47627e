#pragma once

// The three settings dialogs as the operator meets them: what each one shows and writes, the steps
// that answer its windows, and a fixture that reads term.ini and LOG.Dat back.

#include "modalscript.h"
#include "services/parametri.h"
#include "services/textfile.h"
#include "settings/opzioni.h"
#include "testfolder.h"

#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace settingstest {
// What the operator sees and what term.ini and LOG.Dat receive, per dialog.
struct Variant
{
    Pannello kind;
    const char* window;
    const char* caption;
    const char* folderFrame;
    const char* folderBox;
    const char* absentBox;
    const char* nameFrame;
    const char* folderKey;
    const char* nameKey;
    const char* defaultName;
    const char* missingFolder;
    const char* folderLog;
    const char* nameLog;
    const char* saveTag;
    bool titles;
};

inline const Variant kVariants[] = {
    {Pannello::Catalogo, "FrmOpzioniCatalogoTotale", "Opzioni per la Creazione del Catalogo Iniziale",
     "Seleziona una Cartella dove Creare il file di Catalogo Totale", "txtPathDest", "txtPathOrig",
     "Nome del File di Catalogo Totale", "PATHDESTCATALOGOTOTALE", "NOMEFILECATALOGOTOTALE", "Catalogo.DAT",
     "la cartella di Destinazione non Esiste!!", "Nuova Destinazione CAT Totale = ",
     "Nuovo Nome File CAT Totale = ", "(Salva Impostazioni CAT totale)", true},
    {Pannello::Vendite, "FrmOpzioniVendite", "Opzioni Importazioni Vendite",
     "Seleziona una Cartella di Origine del File delle Vendite", "txtPathOrig", "txtPathDest",
     "Nome del File delle Vendite", "PATHORIGINEVENDITE", "NOMEFILEVENDITE", "Vendite.DAT",
     "la cartella di Origine non Esiste!!",
     "Nuova Origine Vendite = ", "Nuovo Nome File Vendite = ", "(Salva Impostazioni Vendite)", false},
    {Pannello::Aggiornamento, "FrmOpzioniAggiornamento", "Opzioni per la Creazione del File di Aggiornamento",
     "Seleziona una Cartella di Destinazione per il file degli Agg.", "txtPathOrig", "txtPathDest",
     "Nome del File degli Aggiornamenti", "PATHDESTINAZIONEAGGIORNAMENTO", "NOMEFILEAGGIORNAMENTO",
     "Update.DAT", "la cartella di Destinazione non Esiste!!", "Nuova Destinazione Aggiornamenti = ",
     "Nuovo Nome File Aggiornamento = ", "(Salva Impostazioni Aggiornamento", false},
};

inline QString str(const char* text)
{
    return QString::fromUtf8(text);
}

template <typename T> inline T* child(QDialog& d, const char* name)
{
    T* found = d.findChild<T*>(str(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline void click(QDialog& d, const char* button)
{
    QTest::mouseClick(child<QPushButton>(d, button), Qt::LeftButton);
}

inline Qt::CursorShape pointer()
{
    return QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : Qt::BitmapCursor;
}

// The folder browser, answered: checks what it offers and confirms the folder.
inline ModalScript::Step chooseFolder(const QString& folder)
{
    return [folder](QDialog& d) {
        auto* browser = qobject_cast<QFileDialog*>(&d);
        ASSERT_NE(browser, nullptr);
        EXPECT_EQ(browser->windowTitle(), QStringLiteral("C:\\"));
        EXPECT_EQ(browser->fileMode(), QFileDialog::Directory);
        EXPECT_TRUE(browser->testOption(QFileDialog::ShowDirsOnly));
        browser->setDirectory(folder);
        static_cast<QDialog*>(browser)->accept(); // QFileDialog's own accept checks the folder
    };
}

inline ModalScript::Step pressOk()
{
    return [](QDialog& d) { pressMessageBoxButton(d, QMessageBox::Ok); };
}

class SettingsDialog : public ProgramFolderTest, public ::testing::WithParamInterface<Variant>
{
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }

    const Variant& v() const { return GetParam(); }
    QLineEdit* folderBox(QDialog& d) const { return child<QLineEdit>(d, v().folderBox); }
    QLineEdit* nameBox(QDialog& d) const { return child<QLineEdit>(d, "txtNomeFile"); }

    // Opens the dialog and lets the steps answer it and whatever it shows.
    void open(ModalScript& script)
    {
        mostraOpzioni(v().kind, nullptr);
        EXPECT_TRUE(script.finished());
    }

    QString subfolder(const QString& name) const
    {
        QDir(folder()).mkpath(name);
        return QDir::toNativeSeparators(path(name));
    }

    void store(const QString& key, const QString& value) { ASSERT_TRUE(ScriviParametro(key, value)); }

    // term.ini unscrambled, one "KEY=value" per line, in file order.
    QStringList storedLines() const
    {
        QStringList lines;
        for (const QByteArray& raw : readBytes("term.ini").split('\n'))
            if (!raw.isEmpty()) lines << decodificaAnsi(decodificaRiga(raw.chopped(1)));
        return lines;
    }

    // The text column of LOG.Dat's entries.
    QStringList loggedTexts() const
    {
        QStringList texts;
        const QList<QByteArray> lines = readBytes("LOG.Dat").split('\n');
        for (qsizetype i = 1; i < lines.size(); ++i)
            if (!lines[i].isEmpty()) texts << decodificaAnsi(lines[i].mid(20, 60)).trimmed();
        return texts;
    }
};
} // namespace settingstest
