#include "sales/letturavendite.h"

#include "services/failure.h"
#include "services/textfile.h"

#include <QFileDevice>

namespace {
// A valid line has 120 characters, so the first 121 bytes of a longer one already reject it for its
// length: the rest is passed over, not kept, whatever the file holds (a file without line ends is one
// line).
constexpr qsizetype kByteTenuti = kLunghezzaRigaVendite + 1;

// LineReader ends on an empty read, which is also what a failed read gives: tell them apart.
void controllaFineDati(QIODevice& device)
{
    const auto* file = qobject_cast<QFileDevice*>(&device);
    const bool failed = file ? file->error() != QFileDevice::NoError : !device.atEnd();
    if (failed)
        throw Failure(FailureCode::PathFileAccess,
                      QStringLiteral("Errore di lettura del file vendite: %1").arg(device.errorString()));
}
} // namespace

qint64 contaRigheVendite(QIODevice& device, const std::function<void()>& dopoOgniBlocco)
{
    LineReader reader(device);
    reader.dopoOgniBlocco(dopoOgniBlocco);
    QByteArray line;
    qint64 count = 0;
    while (reader.nextRaw(line, 0))
        ++count;
    controllaFineDati(device);
    return count;
}

void leggiRigheVendite(QIODevice& device, EsitiRighe& esiti, const std::function<void()>& dopoOgniBlocco)
{
    LineReader reader(device);
    reader.dopoOgniBlocco(dopoOgniBlocco);
    QByteArray line;
    while (reader.nextRaw(line, kByteTenuti)) {
        esiti.rigaLetta();
        RigaDecodificata decoded = decodificaRigaVendita(decodificaAnsi(line));
        if (decoded.scarto)
            esiti.scartata(*decoded.scarto, line);
        else
            esiti.accettata(decoded.vendita, line);
    }
    controllaFineDati(device);
}
