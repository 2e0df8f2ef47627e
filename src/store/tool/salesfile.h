#pragma once

#include <QDateTime>
#include <QString>

class ConnessioneStore;

// One line of the sales file, as the shop program writes it: 120 characters, fields by position.
struct RigaFileVendite
{
    QString idMovimento;        // 1-15
    QDateTime quando;           // 16-27: yyyy mm dd hh mm
    int rigaMovimento = 1;      // 28-31, four digits
    qint32 idUscita = 0;        // 32-43; 0 when the shop does not know the issue
    QString barcode;            // 44-56
    QString addon;              // 57-61
    int quantita = 1;           // 62-70
    qint64 prezzoCentesimi = 0; // 71-79, cents
};

// The 120-character line; fields longer than their width are refused (Failure), never cut silently.
QString componiRigaVendite(const RigaFileVendite& line);

struct OpzioniVendite
{
    int vendite = 20;
    int righe = 5;     // a sale has from 1 to this many rows
    int linee = 0;     // above 0: as many sales as fill exactly this many lines, the last one cut short
    bool prove = true; // the lines below follow the sales
    quint32 seed = 1;
    QDateTime quando; // the day and the hours of the sales
};

// The lines that follow the sales, for the import to turn away or mend, in this order: a line of 119
// characters, a blank sale identifier, row number 0, a row number of letters, a quantity beyond 16 bits,
// an issue identifier beyond 32 bits, the file's first line again, and a line naming an issue the store
// does not have with the barcode and add-on of one issue it has (when the store has an issue with a
// barcode and add-on of its own; otherwise a barcode no issue has).
constexpr int kRigheDiProvaVendite = 8;

// Writes a sales file of sales of the store's issues to `outPath` (Windows-1252, CR LF), followed by the
// lines above unless left out. The file is written under a temporary name and put in place only when
// complete; an existing file is replaced. Throws Failure when the store has no issue or the file cannot be
// written.
struct FileVenditeScritto
{
    int vendite = 0; // the sales, those of the lines above left aside
    int righe = 0;   // every line, those above included
};
FileVenditeScritto scriviFileVendite(ConnessioneStore& connection, const QString& outPath,
                                     const OpzioniVendite& options);
