#pragma once

#include <QDate>

class ConnessioneStore;

struct OpzioniDemo
{
    int titoli = 300;
    quint32 seed = 1;
    QDate oggi; // the issues span the year before this day
};

struct RiepilogoDemo
{
    int titoli = 0;
    int uscite = 0;
};

// Fills an empty store with plausible titles and issues: several product types with dailies
// (IDTipoProdotto 2) among them, the Zefiro flag mostly set, issues over the last year with stock
// (some none, some below zero, a few 999), return dates on older issues, EAN-13 barcodes with 5-digit
// add-ons (the 18-character BarcodeAddon on most issues), VAT codes and decimal prices. The same
// options give the same data. One transaction.
RiepilogoDemo riempiStoreDemo(ConnessioneStore& connection, const OpzioniDemo& options);

// The EAN-13 check digit of 12 digits.
int cifraControlloEan(const QString& twelveDigits);
