// Does to term.ini what the program's start-up does: reads the folder and the name of each exchange
// and writes them back (a default when blank), reads the title selection and the passwords. The
// parameter tests start several of these at once in one folder.
// Arguments: the program folder; the moment to start at, in milliseconds since the epoch. With "tieni"
// as the second argument it instead takes the lock on term.ini, says "preso" and waits to be killed.

#include "services/fixedwidth.h"
#include "services/parametri.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLockFile>
#include <QThread>

#include <cstdio>

#include <utility>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) return 2;
    qputenv("ESPORTA_IMPORTA_DIR", argv[1]);
    if (QByteArray(argv[2]) == "tieni") {
        QLockFile lock(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/term.ini.lock"));
        if (!lock.lock()) return 4;
        std::puts("preso");
        std::fflush(stdout);
        QThread::sleep(60);
        return 0;
    }
    const qint64 startAt = QByteArray(argv[2]).toLongLong();
    while (QDateTime::currentMSecsSinceEpoch() < startAt)
        QThread::msleep(1);

    const std::pair<const char*, const char*> exchanges[][2] = {
        {{"PathDestCatalogoTotale", "C:\\Cataloghi\\"}, {"NomeFileCatalogoTotale", "Catalogo.DAT"}},
        {{"PathOrigineVendite", "C:\\Vendite\\"}, {"NomeFileVendite", "Vendite.DAT"}},
        {{"PathDestinazioneAggiornamento", "C:\\Update\\"}, {"NomeFileAggiornamento", "Update.DAT"}},
    };
    for (const auto& exchange : exchanges) {
        QString values[2];
        for (int i = 0; i < 2; ++i) {
            values[i] = LeggiParametro(QString::fromLatin1(exchange[i].first));
            if (senzaSpazi(values[i]).isEmpty()) values[i] = QString::fromLatin1(exchange[i].second);
        }
        LeggiParametro(QStringLiteral("QualiTitoliCatalogoTotale"));
        for (int i = 0; i < 2; ++i)
            if (!ScriviParametro(QString::fromLatin1(exchange[i].first), values[i])) return 3;
    }
    LeggiParametro(QStringLiteral("PasswordAmministratore"));
    return 0;
}
