#include "catalog/catalogtitles.h"

#include "catalog/catalogissues.h"
#include "catalog/catalogrecord.h"
#include "services/exactnumber.h"
#include "store/storerow.h"

#include <QElapsedTimer>
#include <QSqlQuery>

namespace {
// Longest stretch of counting without letting the window's events through.
constexpr qint64 kPassoEventiMs = 20;

// The number of titles, read by stepping a second run of the title query: one row at a time, nothing
// kept, and the window's events let through every few milliseconds however many titles there are.
int contaTitoli(StoreConnection& connection, const QueryCatalogo& queries, RunDisplay& display)
{
    QSqlQuery titles = connection.esegui(queries.titoli());
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    int count = 0;
    while (titles.next()) {
        ++count;
        if (sinceEvents.elapsed() >= kPassoEventiMs) {
            display.lasciaPassareEventi();
            sinceEvents.restart();
        }
    }
    return count;
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
void esportaUscite(QueryUscite& issueQueries, const RigaDati& title, FileCatalogo& file,
                   const PannelloCatalogo& panel)
{
    const NumeroEsatto idProd = NumeroEsatto::letto(title.valore(QStringLiteral("IDProd")));
    const auto issues = issueQueries.esegui(idProdDaLegare(idProd),
                                            eQuotidiano(title.valore(QStringLiteral("IDTipoProdotto"))));
    while (issues.rows.next()) {
        const NumeroEsatto id = NumeroEsatto::letto(issues.row.valore(QStringLiteral("IDUscita")));
        if (id.negativo() || id.zero()) {
            panel.log(QStringLiteral("Uscita Saltata perchè IDUscita = 0... IDProd = ") + idProd.testo());
            continue;
        }
        file.scrivi(ComponiRigaCatalogo(title, issues.row));
    }
    issueQueries.chiudi();
}
} // namespace

bool esportaTitoli(StoreConnection& connection, const QueryCatalogo& queries, ModoSelezione mode,
                   FileCatalogo& file, const PannelloCatalogo& panel)
{
    RunDisplay& display = panel.display();
    QSqlQuery titles = connection.esegui(queries.titoli());
    if (!titles.next()) {
        panel.log(QStringLiteral("Non ci sono Titoli da Esportare !"));
        return false;
    }
    // The bar's maximum is the number of titles plus one, so it never fills before the run ends.
    const int maximum = contaTitoli(connection, queries, display) + 1;
    display.impostaMassimo(Pannello::Catalogo, maximum);
    const RigaQuery title(titles);
    QueryUscite issueQueries(connection, queries, mode);
    int steps = 0;
    do {
        if (steps < maximum) { // titles added since the count do not push the bar past its end
            display.avanzaProgresso(Pannello::Catalogo);
            ++steps;
        }
        display.lasciaPassareEventi();
        esportaUscite(issueQueries, title, file, panel);
    } while (titles.next());
    return true;
}
