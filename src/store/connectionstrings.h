#pragma once

#include <QString>

// The system's record of what it connects to, in the store provider's own syntax. The connections
// themselves are opened from the four values (see connessionestore.h); these texts are kept as the last
// one built in StringaConnessioneCorrente.
QString StringaConnessioneMaster(const QString& server, const QString& user, const QString& password);
QString StringaConnessione(const QString& server, const QString& user, const QString& password,
                           const QString& database);

QString stringaConnessioneCorrente();
void impostaStringaConnessioneCorrente(const QString& text);
