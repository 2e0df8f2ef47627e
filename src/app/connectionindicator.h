#pragma once

class QLabel;

// The states of the connection indicator lblTest1: caption, background and tooltip.
enum class StatoConnessione {
    InAttesa,         // red "NO", no tooltip: before a test or while one is pending
    Connessa,         // green "OK"
    NonRiuscitaAvvio, // red "NO", the start-up test's tooltip
    NonRiuscita,      // red "NO", the tooltip of a test after choosing a database
};

void mostraStatoConnessione(QLabel& indicator, StatoConnessione state);

// Caption and colour only ("OK" in green or "NO" in red); the tooltip keeps the last message.
void mostraEsitoConnessione(QLabel& indicator, bool connected);
