#pragma once

#include <functional>

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

// Every file of the system is one byte per character in Windows-1252 with CR LF line ends.

// Windows-1252, byte for byte: the five bytes the code page leaves undefined map to the control
// characters of the same code, so any byte read survives a write back. A character that cannot be
// represented is written as "?".
QByteArray codificaAnsi(const QString& text);
QString decodificaAnsi(const QByteArray& bytes);

// The text as it will read back after a write: unrepresentable characters (a character outside the
// Basic Multilingual Plane counts as one) become "?". Fixed-width fields are built from this form so
// that a width in characters is a width in bytes.
QString soloAnsi(const QString& text);

// Which bytes end a line. Every file of the system ends its lines with CR LF, and a lone CR ends one
// too; a lone LF is part of the line unless the reader is told otherwise (term.ini, where no scrambled
// character is an LF, accepts a file whose lines end with LF alone).
enum class LineEnds {
    CrOrCrLf,
    AlsoLf,
};

// Streams a device line by line. The last line need not end with a terminator. Only the current line
// is kept in memory. A device that fails to read raises a Failure: a read error is never taken for the
// end of the data.
class LineReader
{
public:
    explicit LineReader(QIODevice& device, LineEnds ends = LineEnds::CrOrCrLf);

    // The next line without its terminator, as raw bytes; false at the end of the data.
    bool nextRaw(QByteArray& line);
    // The same, keeping only the first `keep` bytes of the line: the rest is read and passed over, so a
    // line of any length (a file without line ends) takes no more memory than `keep`. `length`, when
    // given, receives the whole line's length.
    bool nextRaw(QByteArray& line, qsizetype keep, qint64* length = nullptr);
    // The same, decoded.
    bool next(QString& line);
    // Called after each block read: a line of any length takes many, and a window may have events due.
    void dopoOgniBlocco(std::function<void()> call) { m_afterBlock = std::move(call); }

private:
    bool fill();
    qsizetype findEnd(qsizetype from) const;

    QIODevice& m_device;
    LineEnds m_ends;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    std::function<void()> m_afterBlock;
};

// Writes lines followed by CR LF. A device that refuses a write (disk full, device gone) raises a
// Failure, so a file is never left short without the caller knowing.
class LineWriter
{
public:
    explicit LineWriter(QIODevice& device);

    void write(const QString& line);
    void writeRaw(const QByteArray& line);

private:
    QIODevice& m_device;
};

// Appends lines to a file, creating it when missing; false when the file cannot be opened or written.
bool aggiungiRighe(const QString& path, const QStringList& lines);

// True when a directory lookup of the path returns exactly its file name (letter case included).
bool esisteConNomeEsatto(const QString& path);

// The name under which a visible file called `name` (letter case ignored) exists in the folder, or an
// empty string when there is none.
QString trovaFileNellaCartella(const QString& folder, const QString& name);
