#pragma once

#include "services/scambi.h"

#include <QDialog>

#include <memory>

class SceltaTitoli;

namespace Ui {
class FrmOpzioni;
}

// The folder-and-file settings dialog, as the table of the exchanges describes it (FrmOpzioniCatalogoTotale,
// FrmOpzioniVendite, FrmOpzioniAggiornamento): a folder chosen with the browser, a file name, and for
// the catalog the choice of titles. It reads term.ini when it opens and writes it only on save.
class FrmOpzioni : public QDialog
{
    Q_OBJECT

public:
    FrmOpzioni(Pannello exchange, QWidget* owner = nullptr, const QString& server = {});
    ~FrmOpzioni() override;

    // Form_Load: shows the stored settings (program folder and default name when none are stored).
    void carica();

private:
    void cambiaCartella(); // cmdCambiaDB
    void salva();          // cmdModifica
    bool controllaDati();  // the save's checks, each with its message
    bool scriviImpostazioni();

    const DescrizioneScambio& m_exchange;
    QString m_server;
    std::unique_ptr<Ui::FrmOpzioni> m_ui;
    SceltaTitoli* m_titles = nullptr; // the catalog's only
};
