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
    m_righe.clear();
}

// The open batch failed. Where the store has undone it, its lines are staged again and saved; where it
// is still open, it is saved as it is.
void StagingVendite::salvaPrimaDelFallimento()
{
    if (!m_lotto) return;
    try {
        m_lotto->verificaAttiva();
        conferma();
        return;
    } catch (const std::exception&) {
        m_lotto.reset();
    }
    try {
        Transazione again(m_connection);
        for (const RigaDaRegistrare& riga : m_righe)
            m_archivio.registra(riga);
        again.conferma();
    } catch (const std::exception&) {
        // The lines come back from the temporary copy at the next run.
    }
    m_righe.clear();
}

EsitoStaging StagingVendite::registra(RigaVendita& v)
{
    if (!m_lotto) {
        m_lotto.emplace(m_connection);
        m_nelLotto = 0;
    }
    try {
        if (!m_archivio.uscitaEsiste(v.idUscita)) v.idUscita = 0;

        // A line without barcode and add-on names no issue: it is not matched to whichever issue happens
        // to have an empty barcodeAddon.
        if (v.idUscita == 0 && !v.barcodeAddon().isEmpty())
            v.idUscita = m_archivio.uscitaDelBarcode(v.barcodeAddon());

        if (m_archivio.giaRegistrata(v.idVendita, v.idRiga)) return EsitoStaging::GiaImportata;
        const RigaDaRegistrare riga{v.idVendita,      v.idRiga,        v.data,     v.ora,
                                    v.barcodeAddon(), int(v.quantita), v.idUscita, v.prezzo};
        m_archivio.registra(riga);
        m_righe.push_back(riga);
    } catch (...) {
        salvaPrimaDelFallimento();
        throw;
    }

    if (++m_nelLotto >= m_perLotto) conferma();
    return EsitoStaging::Registrata;
}
