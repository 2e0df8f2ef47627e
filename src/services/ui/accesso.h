#pragma once

class QWidget;

// AccessoLimitato: asks the administrator password in FrmPassword (modal, owned by the active window)
// and answers whether access is granted. A failure goes to the error report (" (AccessoLimitato) ")
// and answers false.
bool AccessoLimitato(QWidget* owner = nullptr);

// The outcome of the last password window: false from the start of each AccessoLimitato until an
// accepted password, and kept after the window closes.
bool AccessoConsentito();
