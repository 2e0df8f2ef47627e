#include "sales/stagingvendite.h"

StagingVendite::StagingVendite(ConnessioneStore& connection, int righePerLotto)
    : m_connection(connection), m_archivio(connection), m_perLotto(qMax(1, righePerLotto))
{
}

StagingVendite::~StagingVendite()
{
    // What is staged so far is kept, as it would be line by line; a refusal here leaves the lines to the
    // next run, which reads the temporary copy again.
    try {
        conferma();
    } catch (const std::exception&) {
    }
}

void StagingVendite::conferma()
{
    if (!m_lotto) return;
    try {
        m_lotto->conferma();
    } catch (...) {
        m_lotto.reset(); // undone, should the store refuse
        throw;
    }
    m_lotto.reset();
}

EsitoStaging StagingVendite::registra(RigaVendita& v)
{
    if (!m_lotto) {
        m_lotto.emplace(m_connection);
        m_nelLotto = 0;
    }
    if (!m_archivio.uscitaEsiste(v.idUscita)) v.idUscita = 0;

    // A line without barcode and add-on names no issue: it is not matched to whichever issue happens
    // to have an empty barcodeAddon.
    if (v.idUscita == 0 && !v.barcodeAddon().isEmpty())
        v.idUscita = m_archivio.uscitaDelBarcode(v.barcodeAddon());

    if (m_archivio.giaRegistrata(v.idVendita, v.idRiga)) return EsitoStaging::GiaImportata;
    m_archivio.registra(
        {v.idVendita, v.idRiga, v.data, v.ora, v.barcodeAddon(), int(v.quantita), v.idUscita, v.prezzo});

    if (++m_nelLotto >= m_perLotto) conferma();
    return EsitoStaging::Registrata;
}
