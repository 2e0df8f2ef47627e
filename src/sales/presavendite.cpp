#include "sales/presavendite.h"

#include "sales/letturavendite.h"
#include "sales/stagingvendite.h"
#include "services/failure.h"
#include "services/platform.h"
#include "services/rejectedlines.h"
#include "services/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <limits>

namespace {
const QString kTemporaneo = QStringLiteral("TEMP_");

// The decoding pass's outcomes, as the run logs and counts them.
class PassataVendite : public EsitiRighe
{
public:
    // `giaSaltate`: the lines the rejected-lines file holds already, when a pending copy is finished.
    PassataVendite(CronacaVendite& cronaca, StagingVendite& staging, QSet<QByteArray> giaSaltate)
        : m_cronaca(cronaca), m_staging(staging), m_giaSaltate(std::move(giaSaltate))
    {
    }

    int saltate() const { return m_saltate; }

    void rigaLetta() override { m_cronaca.avanza(); }

    void scartata(Scarto motivo, const QByteArray& riga) override
    {
        if (vaNelFileSaltati(motivo)) salta(riga);
        m_cronaca.log(testoScarto(motivo));
    }

    void accettata(RigaVendita& vendita, const QByteArray& riga) override
    {
        if (m_staging.registra(vendita) == EsitoStaging::Registrata) return;
        salta(riga);
        m_cronaca.log(QStringLiteral("SALTATA: IDMovimento Già Importato nel DB "));
        m_cronaca.log(QStringLiteral("IDVendita = ") + vendita.idVendita);
        m_cronaca.log(QStringLiteral("IDRiga = ") + vendita.idRiga);
    }

private:
    // A line the earlier run wrote before it stopped is not written a second time.
    void salta(const QByteArray& riga)
    {
        if (!m_giaSaltate.contains(riga)) m_cronaca.scriviRigaSaltata(riga);
        ++m_saltate;
    }

    CronacaVendite& m_cronaca;
    StagingVendite& m_staging;
    QSet<QByteArray> m_giaSaltate;
    int m_saltate = 0;
};

// The sales file's bytes into a new temporary copy: "" when done, otherwise why not. The copy is created
// afresh, never through a link planted under its name, and a copy left incomplete is removed, so that
// the count pass never reads half a file.
QString copiaInTemporaneo(QFile& sales, const QString& temporaneo, CronacaVendite& cronaca)
{
    if (!sales.open(QIODevice::ReadOnly)) return sales.errorString();
    QFile copy;
    if (!creaFileTemporaneo(copy, temporaneo))
        return copy.errorString().isEmpty() ? QStringLiteral("Accesso Negato") : copy.errorString();
    QString failure;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 read = sales.read(buffer, sizeof buffer);
        if (read < 0) {
            failure = sales.errorString();
            break;
        }
        if (read == 0) break;
        if (copy.write(buffer, read) != read) {
            failure = copy.errorString();
            break;
        }
        cronaca.lasciaPassareEventi();
    }
    if (failure.isEmpty() && !copy.flush()) failure = copy.errorString();
    copy.close();
    sales.close();
    if (failure.isEmpty() && copy.error() != QFileDevice::NoError) failure = copy.errorString();
    if (!failure.isEmpty()) copy.remove();
    return failure;
}

// The sales file becomes the temporary copy (any older copy replaced), then goes. A failure is logged
// and the run goes on with whatever temporary copy there is.
void copiaECancella(CronacaVendite& cronaca, const QString& cartella, const QString& nomeFile,
                    const QString& temporaneo)
{
    const QString found = fileVenditePresente(cartella, nomeFile);
    QFile sales(cartella + (found.isEmpty() ? nomeFile : found));
    QString failure = copiaInTemporaneo(sales, temporaneo, cronaca);
    if (failure.isEmpty()) {
        if (const auto& replaced = CancellazioneFileVendite::sostituto())
            failure = replaced(sales.fileName());
        else if (!sales.remove())
            failure = sales.errorString();
    }
    if (failure.isEmpty()) return;
    cronaca.log(QStringLiteral("Impossibile Copiare / Cancellare File vendite "));
    cronaca.log(failure);
}

// The lines of the rejected-lines file, read when a copy that an earlier run left is finished: that run
// may have written some of the copy's lines there already. Nothing when it cannot be read.
QSet<QByteArray> righeGiaSaltate(const QString& cartella, const QString& nomeFile)
{
    QSet<QByteArray> lines;
    QFile file(cartella + QStringLiteral("SALTATO_") + nomeFile);
    if (!file.open(QIODevice::ReadOnly)) return lines;
    for (const QByteArray& line : file.readAll().split('\n'))
        lines.insert(line.endsWith('\r') ? line.chopped(1) : line);
    return lines;
}

// Count pass, decoding pass and deletion of the temporary copy of one file. False: the run ends
// interrupted (the reason is logged).
bool elaboraTemporaneo(ConnessioneStore& connection, CronacaVendite& cronaca, const QString& temporaneo,
                       int righePerLotto, int& saltate, QSet<QByteArray> giaSaltate)
{
    QFile file(temporaneo);
    // A link under the copy's name was planted, not left by a run: what it points at is never read.
    if (QFileInfo(temporaneo).isSymLink() || !file.open(QIODevice::ReadOnly)) {
        cronaca.log(QStringLiteral("Impossibile Aprire File Vendite Temp"));
        cronaca.log(QStringLiteral("Accesso Negato"));
        return false;
    }
    const auto eventi = [&cronaca] { cronaca.lasciaPassareEventi(); };
    const qint64 righe = contaRigheVendite(file, eventi);
    file.close();
    saltate = 0;
    cronaca.impostaMassimo(righe);

    if (!file.open(QIODevice::ReadOnly))
        throw Failure(FailureCode::PathFileAccess,
                      QStringLiteral("Impossibile aprire %1: %2").arg(temporaneo, file.errorString()));
    {
        StagingVendite staging(connection, righePerLotto);
        PassataVendite passata(cronaca, staging, std::move(giaSaltate));
        leggiRigheVendite(file, passata, eventi);
        file.close();
        // Everything staged is saved before the copy goes: a copy deleted with lines unsaved would lose
        // them for good.
        staging.conferma();
        saltate = passata.saltate();
    }

    if (!QFile::remove(temporaneo)) {
        cronaca.log(QStringLiteral("Impossibile Cancellare File vendite Temp"));
        cronaca.log(QStringLiteral("Accesso Negato"));
        return false;
    }
    return true;
}
} // namespace

CronacaSuPannello::CronacaSuPannello(RunDisplay& display, QString cartella, QString nomeFile)
    : m_display(display), m_folder(std::move(cartella)), m_name(std::move(nomeFile))
{
}

void CronacaSuPannello::log(const QString& text)
{
    m_display.scriviLog(Pannello::Vendite, text);
}

void CronacaSuPannello::logRighe(const QStringList& lines)
{
    m_display.scriviLogRighe(Pannello::Vendite, lines);
}

void CronacaSuPannello::impostaMassimo(qint64 righe)
{
    m_display.impostaMassimo(Pannello::Vendite, int(qMin<qint64>(righe, std::numeric_limits<int>::max())));
    m_display.lasciaPassareEventi();
}

void CronacaSuPannello::avanza()
{
    m_display.avanzaProgresso(Pannello::Vendite);
    // A line takes a few tens of microseconds: the window's events run at intervals instead.
    lasciaPassareEventi();
}

void CronacaSuPannello::lasciaPassareEventi()
{
    if (m_events.dovuto()) m_display.lasciaPassareEventi();
}

void CronacaSuPannello::scriviRigaSaltata(const QByteArray& riga)
{
    ScriviRigaSaltata(m_folder, m_name, riga);
}

QString temporaneoInSospeso(const QString& cartella, const QString& nomeFile)
{
    return trovaFileNellaCartella(cartella, kTemporaneo + nomeFile);
}

QString fileVenditePresente(const QString& cartella, const QString& nomeFile)
{
    return trovaFileNellaCartella(cartella, nomeFile);
}

EsitoPresa prendiFileVendite(ConnessioneStore& connection, CronacaVendite& cronaca, const QString& cartella,
                             const QString& nomeFile, const OpzioniPresa& opzioni)
{
    EsitoPresa esito;
    bool pending = opzioni.inSospeso;
    for (;;) {
        QString temporaneo = cartella + kTemporaneo + nomeFile;
        if (pending) {
            const QString found = temporaneoInSospeso(cartella, nomeFile);
            if (!found.isEmpty()) temporaneo = cartella + found;
        } else {
            copiaECancella(cronaca, cartella, nomeFile, temporaneo);
        }
        if (!elaboraTemporaneo(connection, cronaca, temporaneo, opzioni.righePerLotto, esito.saltate,
                               pending ? righeGiaSaltate(cartella, nomeFile) : QSet<QByteArray>()))
            return esito;
        // A pending copy finished: a sales file that arrived meanwhile comes next, but only once, for a
        // sales file that could be copied and not deleted would otherwise come back for ever.
        if (pending && !fileVenditePresente(cartella, nomeFile).isEmpty()) {
            pending = false;
            continue;
        }
        break;
    }
    cronaca.log(QStringLiteral("Inizio Creazione Vendita"));
    esito.completata = true;
    return esito;
}
