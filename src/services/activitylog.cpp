#include "services/activitylog.h"

#include "services/activenames.h"
#include "services/clock.h"
#include "services/fixedwidth.h"
#include "services/programfolder.h"
#include "services/regional.h"
#include "services/textfile.h"

namespace {
const QString kLogName = QStringLiteral("LOG.Dat");

QString buildLine(const QString& date, const QString& time, const QString& text, const QString& form,
                  const QString& control)
{
    return campoTabella(date, 10) + campoTabella(time, 8) + campoTabella(text, 60) + campoTabella(form, 40) +
           campoTabella(control, 40);
}

QString lineAt(const QString& text, const QDateTime& now, const ActiveNames& names)
{
    return buildLine(dataBreve(now.date()), oraSistema(now.time()), senzaSpazi(suUnaRiga(text)),
                     names.form.trimmed(), names.control.trimmed());
}
} // namespace

QString activityLogHeader()
{
    return buildLine(QStringLiteral("Data"), QStringLiteral("Ora"), QStringLiteral("Testo"),
                     QStringLiteral("Form Attivo"), QStringLiteral("Oggetto Attivo"));
}

QString activityLogLine(const QString& text)
{
    return lineAt(text, adesso(), nomiAttivi());
}

void ScriviLog(const QString& text)
{
    ScriviLog(QStringList{text});
}

void ScriviLog(const QStringList& texts)
{
    if (texts.isEmpty()) return;
    try {
        const QString path = percorsoNelProgramma(kLogName);
        QStringList lines;
        if (!esisteConNomeEsatto(path)) lines << activityLogHeader();
        // Lines written together share their moment and the active window's names.
        const QDateTime now = adesso();
        const ActiveNames names = nomiAttivi();
        for (const QString& text : texts)
            lines << lineAt(text, now, names);
        aggiungiRighe(path, lines);
    } catch (...) {
        // The activity log never stops the program.
    }
}
