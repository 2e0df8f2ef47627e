#include "services/errorreport.h"

#include "services/activenames.h"
#include "services/clock.h"
#include "services/failure.h"
#include "services/fixedwidth.h"
#include "services/programexit.h"
#include "services/programfolder.h"
#include "services/regional.h"
#include "services/seam.h"
#include "services/textfile.h"

#include <QFileInfo>

#include <cstdio>
#include <exception>
#include <limits>

namespace {
using PresenterSeam = Seam<struct PresenterTag, void(const ErrorRecord&)>;

const QString kErrorLogName = QStringLiteral("LogErrori.TXT");

QString buildLine(const QStringList& values)
{
    static const int widths[] = {10, 8, 20, 20, 6, 10, 10, 300};
    QString line;
    for (int i = 0; i < 8; ++i)
        line += campoTabella(values.value(i), widths[i]);
    return line;
}
} // namespace

void setErrorPresenter(ErrorPresenter replacement)
{
    PresenterSeam::sostituisci(std::move(replacement));
}

QString versioneProgramma()
{
    return QStringLiteral("%1.%2.%3")
        .arg(ESPORTA_IMPORTA_VERSION_MAJOR)
        .arg(ESPORTA_IMPORTA_VERSION_MINOR)
        .arg(ESPORTA_IMPORTA_VERSION_PATCH);
}

QString errorLogHeader()
{
    return buildLine({QStringLiteral("Data"), QStringLiteral("Ora"), QStringLiteral("Form Attivo"),
                      QStringLiteral("Oggetto Attivo"), QStringLiteral("Linea"), QStringLiteral("Versione"),
                      QStringLiteral("Numero"), QStringLiteral("Descrizione Errore")});
}

QString errorLogLine(const ErrorRecord& record, const QString& version)
{
    const QDateTime now = adesso();
    return buildLine({dataBreve(now.date()), oraSistema(now.time()), record.form.trimmed(),
                      record.control.trimmed(), QString::number(record.line), version.trimmed(),
                      NumeroInTesto(record.number), record.description.trimmed()});
}

void appendErrorLog(const ErrorRecord& record, const QString& version)
{
    const QString path = percorsoNelProgramma(kErrorLogName);
    const bool existed = esisteConNomeEsatto(path);
    QStringList lines;
    if (!existed) lines << errorLogHeader();
    lines << errorLogLine(record, version);
    aggiungiRighe(path, lines); // failures are ignored: the program ends anyway
}

void MostraErrore(double number, qint16 line, const QString& description, const QString& form,
                  const QString& control)
{
    const ErrorRecord record{number, line, description, form, control};
    if (const ErrorPresenter& presenter = PresenterSeam::sostituto()) {
        presenter(record);
        return;
    }
    std::fprintf(stderr, "Errore %s (linea %d): %s\n", qPrintable(NumeroInTesto(number)), int(line),
                 qPrintable(description));
    appendErrorLog(record, versioneProgramma());
    terminaProgramma(1);
}

void segnalaErrore(const QString& tag)
{
    double number = FailureCode::InvalidCall;
    int line = 0;
    QString description;
    try {
        throw;
    } catch (const Failure& failure) {
        number = failure.number();
        line = failure.line();
        description = failure.description();
    } catch (const std::bad_alloc&) {
        number = 7; // out of memory
        description = QStringLiteral("Memoria esaurita");
    } catch (const std::exception& other) {
        description = QString::fromLocal8Bit(other.what());
    } catch (...) {
        description = QStringLiteral("Errore sconosciuto");
    }
    const qint16 shortLine = qint16(qBound(0, line, int(std::numeric_limits<qint16>::max())));
    const ActiveNames names = nomiAttivi();
    MostraErrore(number, shortLine, description + tag, names.form, names.control);
}
