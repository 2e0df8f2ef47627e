#include "store/runscambio.h"

#include "services/errorreport.h"
#include "services/exchangelock.h"
#include "services/failure.h"
#include "services/fixedwidth.h"
#include "services/parametri.h"
#include "services/programfolder.h"
#include "services/progress.h"
#include "store/connectionstrings.h"
#include "store/connessionestore.h"
#include "store/ownfiles.h"

#include <QFileInfo>

namespace {
const QString kConnessioneFallita = QStringLiteral("Connessione al Database di Tavira Fallita");
constexpr int kLoginSeconds = 3;
constexpr int kCommandSeconds = 60;
} // namespace

RunScambio::RunScambio(const ContestoRun& context, Pannello panel)
    : m_context(context), m_panel(context.display, panel, context.automatico)
{
}

RunScambio::~RunScambio() = default;

void RunScambio::avvia()
{
    display().azzeraPannello(m_panel.pannello());
    display().impostaTitolo(titoloInizioRun());
    display().lasciaPassareEventi();
    log(PannelloScambio::riga());
    log(QStringLiteral("Inizio Controlli Catalogo TOTALE"));
    log(QStringLiteral("Test Connessione Database Tavira"));
}

bool RunScambio::apriConnessione()
{
    const ImpostazioniConnessione& settings = m_context.connessione;
    impostaStringaConnessioneCorrente(
        StringaConnessione(settings.server, settings.utente, settings.password, settings.database));
    display().mostraOra(); // the login may take seconds
    QString reason;
    try {
        m_connection = std::make_unique<ConnessioneStore>(settings, kLoginSeconds, kCommandSeconds);
    } catch (const Failure& failure) {
        reason = failure.description();
    } catch (const std::exception& failure) {
        reason = QString::fromLocal8Bit(failure.what());
    }
    if (!m_connection) {
        log(kConnessioneFallita + QLatin1Char(' '));
        log(reason);
        m_panel.avvisaErrore(kConnessioneFallita);
        return false;
    }
    if (!m_connection->aperta()) {
        m_connection.reset();
        log(kConnessioneFallita);
        m_panel.avvisaErrore(kConnessioneFallita);
        return false;
    }
    log(QStringLiteral("Connessione OK !"));
    return true;
}

std::optional<FileScambio> RunScambio::controllaFile(const QString& testLine, const QString& notConfigured,
                                                     const QString& missing) const
{
    const DescrizioneScambio& exchange = descrizioneScambio(m_panel.pannello());
    log(testLine);
    FileScambio file{LeggiParametro(exchange.chiaveCartella), QString()};
    if (senzaSpazi(file.cartella).isEmpty()) {
        m_panel.segnala(notConfigured);
        return std::nullopt;
    }
    file.cartella = conSeparatoreFinale(file.cartella);
    if (!QFileInfo(file.cartella).isDir()) {
        m_panel.segnala(missing);
        return std::nullopt;
    }
    file.nome = LeggiParametro(exchange.chiaveNome);
    if (senzaSpazi(file.nome).isEmpty()) {
        m_panel.segnala(QStringLiteral("Il Nome del File non è Impostato"));
        return std::nullopt;
    }
    const QString ownFile =
        fileProprioSostituito(m_panel.pannello(), file.cartella, file.nome, m_context.connessione.server);
    if (!ownFile.isEmpty()) {
        m_panel.segnala(testoFileProprio(ownFile));
        return std::nullopt;
    }
    return file;
}

bool RunScambio::riserva(const QString& exchangePath, const QString& busyText)
{
    m_lock = std::make_unique<ExchangeLock>(exchangePath);
    if (m_lock->acquire(kAttesaRiservaMs, [this] { display().lasciaPassareEventi(); })) return true;
    m_lock.reset();
    m_panel.segnala(busyText);
    return false;
}

void RunScambio::entraOccupato()
{
    display().impostaOccupato(true);
    display().lasciaPassareEventi();
}

EsitoRun RunScambio::concludi(const QStringList& closingLines, const QString& successText)
{
    log(PannelloScambio::riga());
    for (const QString& line : closingLines)
        log(line);
    log(successText);
    log(PannelloScambio::riga());
    m_panel.avvisa(IconaMessaggio::Informazione, QStringLiteral("OK"), successText);
    m_connection.reset();
    display().impostaOccupato(false);
    display().impostaTitolo(titoloBase());
    display().svuotaAttivita(m_panel.pannello());
    rilascia();
    return EsitoRun::Completata;
}

EsitoRun RunScambio::interrompi()
{
    display().impostaOccupato(false);
    log(PannelloScambio::riga());
    log(QStringLiteral("Esportazione INTERROTTA !!"));
    log(PannelloScambio::riga());
    display().impostaTitolo(titoloBase());
    display().svuotaAttivita(m_panel.pannello());
    rilascia();
    return EsitoRun::Interrotta;
}

void RunScambio::rilascia()
{
    m_connection.reset();
    m_lock.reset();
}

EsitoRun conTrappolaErrori(const ContestoRun& context, Pannello panel, const std::function<EsitoRun()>& run)
{
    try {
        return run();
    } catch (...) {
        segnalaErrore(descrizioneScambio(panel).tagRun);
    }
    // The report normally ends the program; should it return, the window is usable again.
    try {
        context.display.impostaOccupato(false);
    } catch (...) {
    }
    return EsitoRun::Interrotta;
}
