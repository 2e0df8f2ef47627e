#pragma once

#include "sales/rigavendita.h"
#include "store/sqldialect.h"

#include <QSqlQuery>
#include <QVariantList>

class ConnessioneStore;

enum class EsitoStaging { Registrata, GiaImportata };

// Stages decoded sales lines in Vendite_VT with Elaborato "0", on the run's connection. Values from the
// file are always bound, never written into the statement text, so any character is staged as it is.
//
// Lines are saved in batches of `righePerLotto` for speed: a batch is one transaction, committed when
// full, by conferma() and when the stager goes away. A run that dies mid-batch leaves its temporary copy
// behind; the next run reads it again, stages what the lost batch held, and finds the committed lines
// already staged.
class StagingVendite
{
public:
    explicit StagingVendite(ConnessioneStore& connection, int righePerLotto = 2000);
    ~StagingVendite();
    StagingVendite(const StagingVendite&) = delete;
    StagingVendite& operator=(const StagingVendite&) = delete;

    // The issue check (an unknown IDUscita becomes 0), the barcode match when it is 0 (exactly one
    // issue with that barcode and add-on gives its IDUscita), the duplicate check on IDVendita and
    // IDRiga, then the insert. `vendita.idUscita` is left as staged.
    EsitoStaging registra(RigaVendita& vendita);

    // Commits the open batch. Throws Failure when the store refuses.
    void conferma();

private:
    void prepara();
    void iniziaLotto();
    void esegui(QSqlQuery& query, const QVariantList& values);

    ConnessioneStore& m_connection;
    int m_perLotto;
    int m_nelLotto = 0;
    bool m_lottoAperto = false;
    bool m_preparate = false;
    QSqlQuery m_uscita, m_barcode, m_doppione, m_inserimento;
};

// The duplicate check with its bound values: the staged rows with the same sale and row number, letter
// case and trailing blanks aside, as the store compares text.
struct QueryLegata
{
    QString sql;
    QVariantList valori;
};
QueryLegata queryDoppione(const SqlDialect& dialect, const QString& idVendita, const QString& idRiga);
