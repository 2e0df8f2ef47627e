#pragma once

#include "services/rundisplay.h"
#include "services/seam.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class ConnessioneStore;

// What taking in the sales file tells the run: the lines of the sales panel (and the activity log),
// the progress bar, and the lines for the rejected-lines file.
class CronacaVendite
{
public:
    virtual ~CronacaVendite() = default;

    virtual void log(const QString& text) = 0;      // ScriviLogVendite
    virtual void logRighe(const QStringList& lines) // several in a row
    {
        for (const QString& line : lines)
            log(line);
    }
    virtual void impostaMassimo(qint64 righe) = 0;              // the bar: 0..righe, value 0
    virtual void avanza() = 0;                                  // AvanzaProgresso
    virtual void lasciaPassareEventi() {}                       // when due, during a long read or copy
    virtual void scriviRigaSaltata(const QByteArray& riga) = 0; // ScriviRigaSaltata
};

// The run's own: the sales panel of the window and SALTATO_ + the file name in the origin folder.
class CronacaSuPannello : public CronacaVendite
{
public:
    CronacaSuPannello(RunDisplay& display, QString cartella, QString nomeFile);

    void log(const QString& text) override;
    void logRighe(const QStringList& lines) override;
    void impostaMassimo(qint64 righe) override;
    void avanza() override;
    void lasciaPassareEventi() override;
    void scriviRigaSaltata(const QByteArray& riga) override;

private:
    RunDisplay& m_display;
    QString m_folder;
    QString m_name;
    PassoEventi m_events; // of the lines' progress
};

// Deletes the sales file once copied: "" when done, otherwise why not. Tests replace it to stand for a
// file that another program keeps open.
using CancellazioneFileVendite = Seam<struct CancellazioneFileVenditeTag, QString(const QString& path)>;

// The name under which the temporary copy TEMP_ + the file name of an unfinished earlier run stands in
// the folder (letter case ignored), or an empty string when there is none.
QString temporaneoInSospeso(const QString& cartella, const QString& nomeFile);

// The name under which the sales file stands in the folder (letter case ignored), or "".
QString fileVenditePresente(const QString& cartella, const QString& nomeFile);

struct EsitoPresa
{
    bool completata = false; // false: the run ends interrupted, its lines already logged
    int saltate = 0;         // lines sent to the rejected-lines file by the last file taken in
};

struct OpzioniPresa
{
    bool inSospeso = false;   // a temporary copy was found at the start (temporaneoInSospeso)
    int righePerLotto = 2000; // lines staged per commit
};

// Takes the sales file in, from the copy to the temporary file to its deletion: copy and delete the
// sales file (unless a temporary copy is pending), count its lines, decode and stage every line,
// delete the temporary copy, and, when a pending copy has just been finished, take in a sales file that
// arrived meanwhile, once. `cartella` ends with a separator. Unexpected failures (a read that fails, the
// store refusing) are thrown as Failure for the run's error report; what is staged stays staged, and the
// temporary copy is left for the next run.
EsitoPresa prendiFileVendite(ConnessioneStore& connection, CronacaVendite& cronaca, const QString& cartella,
                             const QString& nomeFile, const OpzioniPresa& opzioni);
