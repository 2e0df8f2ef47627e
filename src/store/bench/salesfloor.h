#pragma once

#include <QString>

class ConnessioneStore;

// The benchmark's floor for the sales import, on the embedded store: the sales file's lines decoded and
// loaded in one pass, then set-based statements that stage them (issue check, barcode match, duplicate
// check), make the documents of every pending sale with their rows, lower the stock, mark the staged
// rows and advance the counters, all in one transaction. What a run of the import must at least cost.
struct TempiMinimo
{
    qint64 righe = 0;       // lines of the file
    qint64 stagingNs = 0;   // reading, decoding and staging
    qint64 documentiNs = 0; // documents, rows, stock, marks, counters, and the commit
};

TempiMinimo minimoVendite(ConnessioneStore& connection, const QString& salesFile);

// What an import leaves in the store, to compare the import with its floor: staged and marked lines,
// documents and rows, and the sums of totals and stock (to the cent).
QString riepilogoStore(ConnessioneStore& connection);
