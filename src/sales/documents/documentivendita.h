#pragma once

#include <QStringList>

#include <functional>

class ConnessioneStore;

// ScriviLogVendite: lines in the sales panel and the activity log, in their order.
using ScriviLogVendite = std::function<void(const QStringList& lines)>;

// Turns every pending sale of Vendite_VT (staged rows with Elaborato "0" and IDUscita above 0, left by
// this run or an earlier one) into one sales document: its header in Documenti, one row in
// DocumentiRighe per staged row, the issues' stock lowered, the staged rows marked "1". Logs
// "Creato Documento con ID = " and "Tot € = " for each document and gives the number of documents.
//
// Each sale is saved whole or not at all: a failure part-way undoes the sale being made (its rows stay
// pending for the next run), keeps the sales saved before it, and goes on as Failure.
//
// The window's events run with the log lines and, between them, at short intervals.
int creaDocumentiVendita(ConnessioneStore& connection, const ScriviLogVendite& scriviLog,
                         const std::function<void()>& lasciaPassareEventi = {});
