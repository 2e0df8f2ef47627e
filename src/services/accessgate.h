#pragma once

#include <QString>

// Whether a typed password opens the administrator gate. Accepted, in this order: the stored
// PasswordAmministratore (when not blank), the stored PasswordUtente (only when an administrator
// password is set and it is not blank), then the two built-in passwords. Compared trimmed, ignoring case;
// the parameters are read afresh at every call.
bool passwordAccettata(const QString& typed);
