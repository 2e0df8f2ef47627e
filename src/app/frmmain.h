#pragma once

#include "app/connectionindicator.h"
#include "app/core/exchangesettings.h"
#include "app/runpanel.h"
#include "services/connectionsettings.h"
#include "services/scambi.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QLineEdit;
class QTimer;

namespace Ui {
class FrmMain;
}

// The main window: the connection to the store, the settings of the three file exchanges and one run
// panel for each exchange. It shows what it is told and reports its commands as signals; start-up, the
// settings commands and the runs live in their own classes. The runs see it only through DisplayFinestra.
class FrmMain : public QWidget
{
    Q_OBJECT

public:
    explicit FrmMain(QWidget* parent = nullptr);
    ~FrmMain() override;

    // Start-up blanking: connection fields, indicator, settings fields, activity dots, lists and bars.
    void svuota();

    // The connection settings: server, database and user as text and tooltip, the password as a hidden
    // value of the user field that is never displayed.
    void mostraConnessione(const ImpostazioniConnessione& settings);
    ImpostazioniConnessione impostazioniConnessione() const;
    QLineEdit& campoDatabase();

    void mostraStatoConnessione(StatoConnessione state);
    void mostraEsitoConnessione(bool connected); // caption and colour only

    // An exchange's folder and name as text and tooltip; the catalog's title selection as text only.
    void mostraImpostazioni(Pannello exchange, const ImpostazioniScambio& settings);

    QTimer& timerComandiAuto();
    QTimer& timerEnd();

    bool occupato() const { return m_occupato; }

    // Asked when the window is about to close; false keeps it open.
    void impostaControlloChiusura(std::function<bool()> mayClose);

    // Busy: the whole window refuses input and the application shows the hourglass. Idle: input again
    // and the icon pointer.
    void impostaOccupato(bool busy);

    // The run panel of an exchange: its list, bar and dots.
    PannelloRun& pannello(Pannello panel);

Q_SIGNALS:
    void cambiaDatabaseRichiesto();           // cmdCambiaDB
    void testConnessioneRichiesto();          // click on lblTest1
    void opzioniRichieste(Pannello exchange); // the three "&Cambia Impostazioni"
    void runRichiesto(Pannello panel);        // the three start buttons
    void esciRichiesto();                     // CmdEsci

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void collegaComandi();
    void apriCartellaDi(const QLineEdit& field);

    std::unique_ptr<Ui::FrmMain> m_ui;
    std::array<std::unique_ptr<PannelloRun>, 3> m_pannelli;
    QTimer* m_timerComandiAuto;
    QTimer* m_timerEnd;
    bool m_occupato = false;
    std::function<bool()> m_controlloChiusura;
};
