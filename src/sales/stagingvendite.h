#pragma once

#include "sales/rigavendita.h"
#include "store/archiviovendite.h"
#include "store/transazione.h"

#include <optional>
#include <vector>

class ConnessioneStore;

enum class EsitoStaging { Registrata, GiaImportata };

// Stages decoded sales lines in Vendite_VT with Elaborato "0", on the run's connection.
//
// Lines are saved in batches of `righePerLotto` for speed: a batch is one unit of work, committed when
// full, by conferma() and when the stager goes away. A run that dies mid-batch leaves its temporary copy
// behind; the next run reads it again, stages what the lost batch held, and finds the committed lines
// already staged. A failure that makes the store undo the open batch (SQL Server undoes the whole unit)
// does not lose the lines staged before it: they are staged again in a unit of their own.
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
    ConnessioneStore& m_connection;
    ArchivioVendite m_archivio;
    int m_perLotto;
    int m_nelLotto = 0;
    void salvaPrimaDelFallimento();

    std::optional<Transazione> m_lotto;
    std::vector<RigaDaRegistrare> m_righe; // the open batch's lines
};
