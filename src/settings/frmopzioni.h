#pragma once

#include "settings/optionsvariant.h"

#include <QDialog>

#include <memory>

class SceltaTitoli;

namespace Ui {
class FrmOpzioni;
}

// The folder-and-file settings dialog, in the variant the table names (FrmOpzioniCatalogoTotale,
// FrmOpzioniVendite, FrmOpzioniAggiornamento): a folder chosen with the browser, a file name, and for
// the catalog the choice of titles. It reads term.ini when it opens and writes it only on save.
class FrmOpzioni : public QDialog
{
    Q_OBJECT

public:
    FrmOpzioni(TipoOpzioni kind, QWidget* owner = nullptr);
    ~FrmOpzioni() override;

    // Form_Load: shows the stored settings (program folder and default name when none are stored).
    void carica();

private:
    void cambiaCartella(); // cmdCambiaDB
    void salva();          // cmdModifica
    bool controllaDati();  // the save's checks, each with its message
    bool scriviImpostazioni();

    const OptionsVariant& m_variant;
    std::unique_ptr<Ui::FrmOpzioni> m_ui;
    SceltaTitoli* m_titles = nullptr; // the catalog's only
};
