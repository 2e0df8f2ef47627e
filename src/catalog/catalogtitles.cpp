#include "catalog/catalogtitles.h"

#include "catalog/catalogrecord.h"
#include "catalog/catalogselection.h"
#include "services/exactnumber.h"

#include <array>
#include <deque>

namespace {

// The title columns that the issue queries and the records use: all that is kept of a title row.
const QStringList kColonneTitolo = {QStringLiteral("IDProd"),        QStringLiteral("IDTipoProdotto"),
                                    QStringLiteral("BarcodeTitolo"), QStringLiteral("Testata"),
                                    QStringLiteral("SottoTitolo"),   QStringLiteral("GiorniScadenzaResa")};

// A title as kept: its six values in the order of kColonneTitolo, without a map's weight per value.
class RigaTitolo : public RigaDati
{
public:
    explicit RigaTitolo(const RigaDati& row)
    {
        for (size_t i = 0; i < m_values.size(); ++i)
            m_values[i] = row.valore(kColonneTitolo.at(qsizetype(i)));
    }
    QVariant valore(const QString& colonna) const override
    {
        for (size_t i = 0; i < m_values.size(); ++i)
            if (kColonneTitolo.at(qsizetype(i)).compare(colonna, Qt::CaseInsensitive) == 0)
                return m_values[i];
        return {};
    }

private:
    std::array<QVariant, 6> m_values;
};

// The whole title list, read to its end before any issue is queried: the connection never holds two
// open results (SQL Server would need several active result sets for that), and the count for the
// progress bar comes with it. A few thousand titles of six values each, kept in blocks that never move.
std::deque<RigaTitolo> leggiTitoli(ArchivioCatalogo& archive, const QDate& cutOff, RunDisplay& display)
{
    display.mostraOra(); // the first query may wait for the server
    std::deque<RigaTitolo> result;
    PassoEventi events;
    archive.titoli(cutOff, [&](const RigaDati& row) {
        result.emplace_back(row);
        if (events.dovuto()) display.lasciaPassareEventi();
    });
    return result;
}

// The title's IDProd as the issue query receives it: a whole number when it is one.
QVariant idProdDaLegare(const NumeroEsatto& idProd)
{
    bool whole = false;
    const qlonglong value = idProd.intero() ? idProd.testo().toLongLong(&whole) : 0;
    return whole ? QVariant(value) : QVariant(idProd.testo());
}

// The issues of one title. An issue without a positive identifier is logged and skipped; the title's
// other issues are still written.
void esportaUscite(ArchivioCatalogo& archive, const RigaDati& title, FileCatalogo& file,
                   const PannelloScambio& panel)
{
    const NumeroEsatto idProd = NumeroEsatto::letto(title.valore(QStringLiteral("IDProd")));
    const bool daily = eQuotidiano(title.valore(QStringLiteral("IDTipoProdotto")));
    archive.uscite(idProdDaLegare(idProd), daily, [&](const RigaDati& issue) {
        const NumeroEsatto id = NumeroEsatto::letto(issue.valore(QStringLiteral("IDUscita")));
        if (id.negativo() || id.zero()) {
            panel.log(QStringLiteral("Uscita Saltata perchè IDUscita = 0... IDProd = ") + idProd.testo());
            return;
        }
        file.scrivi(ComponiRigaCatalogo(title, issue));
    });
}
} // namespace

bool esportaTitoli(ArchivioCatalogo& archive, const QDate& cutOff, FileCatalogo& file,
                   const PannelloScambio& panel)
{
    RunDisplay& display = panel.display();
    const std::deque<RigaTitolo> titles = leggiTitoli(archive, cutOff, display);
    if (titles.empty()) {
        panel.log(QStringLiteral("Non ci sono Titoli da Esportare !"));
        return false;
    }
    // The bar's maximum is the number of titles plus one, so it never fills before the run ends.
    display.impostaMassimo(Pannello::Catalogo, int(titles.size()) + 1);
    // A title takes tens of microseconds: the window's events run at short intervals, not after each.
    PassoEventi events;
    for (const RigaTitolo& title : titles) {
        display.avanzaProgresso(Pannello::Catalogo);
        if (events.dovuto()) display.lasciaPassareEventi();
        esportaUscite(archive, title, file, panel);
    }
    return true;
}
