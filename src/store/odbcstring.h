#pragma once

#include "services/connectionsettings.h"
#include "services/failure.h"

#include <QString>

// Settings that cannot be sent to the server safely (a value the driver would misread, a database name
// that is not a name). Refused before anything reaches a driver.
class ConnessioneRifiutata : public Failure
{
public:
    using Failure::Failure;
};

// The ODBC driver used for SQL Server: ESPORTA_IMPORTA_ODBC_DRIVER when set, otherwise "FreeTDS"
// (Debian's tdsodbc) on Linux and "ODBC Driver 18 for SQL Server" on Windows.
QString driverOdbc();
bool isFreeTds(const QString& driver);

// How a driver reads a value of its connection string.
enum class ValoriDriver {
    GraffeRaddoppiate, // {value} with "}" doubled (Microsoft's drivers)
    GraffeSemplici,    // {value}, doubling not undone: "}" cannot be carried (FreeTDS)
    Nudi // braces kept as part of the value: value written bare, ";{}" and edge blanks refused (SQLite's)
};
ValoriDriver valoriDelDriver(const QString& driver);

// The whole DSN-less connection string for the four settings and that driver. Every value is wrapped
// in ODBC braces with "}" doubled, so ";", "=" or "}" in a password neither break the string nor add
// keys to it. FreeTDS does not undo the doubling, so with FreeTDS a value holding "}" is refused
// (ConnessioneRifiutata) rather than sent altered; likewise any value a driver cannot carry. With
// FreeTDS "HOST,PORT" becomes the Server and Port keys, and the protocol version is pinned to 7.4
// (older servers answer with their own), since FreeTDS's automatic choice retries past its login limit
// against a server that never answers. "HOST\INSTANCE" is passed as written. Microsoft's drivers from
// version 18 on get "Encrypt=Optional", which behaves as the older drivers did (encrypted when the server
// asks for it, the login always protected), rather than refusing a self-signed certificate. The text of
// ESPORTA_IMPORTA_ODBC_EXTRA, when set, is appended as further keys (for instance
// "TrustServerCertificate=yes"); FreeTDS takes the later of two equal keys, so "TDS_Version=7.3" there
// replaces the program's own; an "Encrypt" key there replaces the program's "Encrypt=Optional".
QString stringaOdbc(const ImpostazioniConnessione& settings, const QString& driver);
