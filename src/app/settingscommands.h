#pragma once

#include "services/rundisplay.h"

class FrmMain;

// The main window's commands on its settings: choosing another store database (cmdCambiaDB), testing
// the connection (a click on lblTest1) and the three "&Cambia Impostazioni" buttons. Every command that
// changes something passes the access gate first; the window is busy while it works.
class ComandiImpostazioni
{
public:
    explicit ComandiImpostazioni(FrmMain& window);

    void cambiaDatabase();
    void testConnessione();
    void cambiaOpzioni(Pannello exchange);

private:
    FrmMain& m_window;
};
