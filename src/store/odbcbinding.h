#pragma once

#include <QByteArray>
#include <QVariantList>

#include <vector>

// The values of a statement bound to the ODBC driver by this program rather than by Qt. Qt declares a
// text parameter as long as the text itself, so an empty text goes out declared with length 0, which
// Microsoft's drivers refuse ("Invalid precision value"): here every text is declared at least one
// character long, and any value, the empty text included, reaches the server as it is. The binding
// holds the values' bytes: keep it until the statement has run.
class OdbcBinding
{
public:
    // Binds every value to its "?" in order on the driver's statement (an SQLHSTMT). False when the
    // driver refuses one.
    bool bind(void* statement, const QVariantList& values);

    // Lets the driver forget the values once the statement has run.
    static void release(void* statement);

private:
    std::vector<QByteArray> m_data;
    QByteArray m_lengths; // an SQLLEN for each value
};
