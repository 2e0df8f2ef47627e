#pragma once

#include "sales/rigavendita.h"

#include <QByteArray>
#include <QIODevice>

#include <functional>

// What the decoding pass says about each line of the sales file, in file order. The line is handed over
// exactly as read (Windows-1252 bytes, no terminator), as the rejected-lines file wants it; only a line
// longer than 120 characters is handed over cut to its first 121 bytes, and always as rejected for its
// length (Scarto::LunghezzaErrata), which the run logs without writing the line anywhere.
class EsitiRighe
{
public:
    virtual ~EsitiRighe() = default;

    // A line has been read and is about to be decoded: one progress step.
    virtual void rigaLetta() = 0;
    virtual void accettata(RigaVendita& vendita, const QByteArray& riga) = 0;
    virtual void scartata(Scarto motivo, const QByteArray& riga) = 0;
};

// The number of lines of the device, read to its end. Throws Failure when a read fails, so that a
// broken read is never taken for the end of the file.
// `dopoOgniBlocco`, when given, is called after each block read, so that the window's events can run
// during a line of hundreds of megabytes.
qint64 contaRigheVendite(QIODevice& device, const std::function<void()>& dopoOgniBlocco = {});

// Reads the device line by line to its end, decodes each line and reports it; only the current line, or
// its first 121 bytes, is in memory. Throws Failure when a read fails.
void leggiRigheVendite(QIODevice& device, EsitiRighe& esiti,
                       const std::function<void()>& dopoOgniBlocco = {});
