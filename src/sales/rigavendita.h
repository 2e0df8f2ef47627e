#pragma once

#include <QDate>
#include <QString>

#include <optional>

// One line of the sales file that the shop program writes: 120 characters, fields by position, one row
// of one sale.
constexpr int kLunghezzaRigaVendite = 120;

// The decoded line, named after the staging columns it goes to.
struct RigaVendita
{
    QString idVendita;              // 1-15, up to 15 characters
    QString idRiga;                 // 28-31, as written (leading zeros kept)
    QDate data = QDate(1900, 1, 1); // 16-23
    QString ora;                    // 24-27 as hh:mm
    qint32 idUscita = 0;            // 32-43; 0 when the line names no issue
    QString barcode;                // 44-56
    QString addon;                  // 57-61
    qint16 quantita = 0;            // 62-70
    double prezzo = 0;              // 71-79, cents in the file, currency units here

    // What the issues' barcodeAddon column holds for this item, and what is staged as Barcode.
    QString barcodeAddon() const { return barcode + addon; }
};

// Why a line is not taken. Only a wrong length is a mere log line; every other reason sends the line to
// the rejected-lines file and counts it as skipped.
enum class Scarto {
    LunghezzaErrata,    // not 120 characters
    IDMovimentoAssente, // blank sale identifier
    RigaAssente,        // row number 0 (or blank, or negative)
    RigaNonValida,      // row number that is not a number
    IDUscitaNonValido,  // issue identifier beyond 32 bits
    QuantitaNonValida,  // quantity beyond 16 bits
};

// The log text of a reason.
QString testoScarto(Scarto reason);
bool vaNelFileSaltati(Scarto reason);

struct RigaDecodificata
{
    std::optional<Scarto> scarto; // empty: the line is a sale row
    RigaVendita vendita;          // meaningful only when not rejected
};

// Decodes one line (already decoded from Windows-1252: one character per byte). Fields that do not read
// fall back to their defaults; only the reasons above reject a line, and a rejection never stops the
// caller from going on with the next line.
RigaDecodificata decodificaRigaVendita(const QString& line);
