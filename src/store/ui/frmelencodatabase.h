#pragma once

#include "services/connectionsettings.h"

#include <QDialog>

#include <memory>

class QLineEdit;

namespace Ui {
class FrmElencoDatabase;
}

// The database chooser: the store databases of the server, the current one selected. Confirming writes
// the choice into the main window's database field (text and tooltip); nothing is saved to a file.
// Constructing it is its load: the list is read from the server with the given settings and the entry
// matching the database field is selected. Callers show it through eseguiModale.
class FrmElencoDatabase : public QDialog
{
    Q_OBJECT

public:
    FrmElencoDatabase(const ImpostazioniConnessione& settings, QLineEdit& txtDb, QWidget* owner = nullptr);
    ~FrmElencoDatabase() override;

private:
    void carica(const ImpostazioniConnessione& settings);
    void seleziona(); // cmdModifica

    QLineEdit& m_txtDb;
    std::unique_ptr<Ui::FrmElencoDatabase> m_ui;
};

// Step 3 of the load: the first entry equal to the name (both trimmed, upper case), otherwise the first
// entry, -1 when the list is empty.
int voceDaSelezionare(const QStringList& entries, const QString& currentName);
