#include "services/textfile.h"

#include "services/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <limits>

namespace {
// Windows-1252 bytes 0x80..0x9F. The undefined bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D stand for the
// control characters of the same code.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeUnit(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return char(unit);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == unit) return char(0x80 + i);
    return '?';
}

constexpr qsizetype kChunk = 64 * 1024;
} // namespace

QByteArray codificaAnsi(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
        bytes.append(encodeUnit(c.unicode()));
    }
    return bytes;
}

QString decodificaAnsi(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHighControls[b - 0x80]) : QChar(b);
    }
    return text;
}

QString soloAnsi(const QString& text)
{
    return decodificaAnsi(codificaAnsi(text));
}

LineReader::LineReader(QIODevice& device, LineEnds ends) : m_device(device), m_ends(ends) {}

bool LineReader::fill()
{
    if (m_pos > 0) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    const qsizetype kept = m_buffer.size();
    m_buffer.resize(kept + kChunk);
    const qint64 got = m_device.read(m_buffer.data() + kept, kChunk);
    m_buffer.resize(kept + qMax<qint64>(got, 0));
    if (got < 0)
        throw Failure(FailureCode::PathFileAccess,
                      QStringLiteral("Impossibile leggere il file: %1").arg(m_device.errorString()));
    if (m_afterBlock) m_afterBlock();
    return got > 0;
}

qsizetype LineReader::findEnd(qsizetype from) const
{
    const qsizetype cr = m_buffer.indexOf('\r', from);
    if (m_ends == LineEnds::CrOrCrLf) return cr;
    const qsizetype lf = m_buffer.indexOf('\n', from);
    if (cr < 0 || lf < 0) return qMax(cr, lf);
    return qMin(cr, lf);
}

bool LineReader::nextRaw(QByteArray& line)
{
    return nextRaw(line, std::numeric_limits<qsizetype>::max());
}

bool LineReader::nextRaw(QByteArray& line, qsizetype keep, qint64* length)
{
    line.clear();
    qint64 total = 0;
    // The bytes from the current position up to `end` belong to the line.
    const auto take = [&](qsizetype end) {
        const qsizetype count = end - m_pos;
        line.append(m_buffer.constData() + m_pos, qMin(count, qMax<qsizetype>(0, keep - line.size())));
        total += count;
        m_pos = end;
    };
    bool consumed = false;
    for (;;) {
        if (m_pos >= m_buffer.size() && !fill()) break;
        const qsizetype end = findEnd(m_pos);
        if (end < 0) {
            take(m_buffer.size());
            consumed = true;
            continue;
        }
        take(end);
        m_pos = end + 1;
        consumed = true;
        if (m_buffer.at(end) == '\n') break;
        if (m_pos >= m_buffer.size()) fill();
        if (m_pos < m_buffer.size() && m_buffer.at(m_pos) == '\n') ++m_pos;
        break;
    }
    if (length) *length = total;
    return consumed;
}

bool LineReader::next(QString& line)
{
    QByteArray raw;
    if (!nextRaw(raw)) return false;
    line = decodificaAnsi(raw);
    return true;
}

LineWriter::LineWriter(QIODevice& device) : m_device(device) {}

void LineWriter::write(const QString& line)
{
    writeRaw(codificaAnsi(line));
}

void LineWriter::writeRaw(const QByteArray& line)
{
    const QByteArray bytes = line + "\r\n";
    if (m_device.write(bytes) != bytes.size())
        throw Failure(FailureCode::DiskFull,
                      QStringLiteral("Impossibile scrivere il file: %1").arg(m_device.errorString()));
}

namespace {
bool appendBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const bool written = file.write(bytes) == bytes.size();
    const bool flushed = file.flush();
    file.close();
    return written && flushed && file.error() == QFileDevice::NoError;
}
} // namespace

bool aggiungiRighe(const QString& path, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += codificaAnsi(line) + "\r\n";
    return appendBytes(path, bytes);
}

bool esisteConNomeEsatto(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) return false;
    // The activity log asks this for every line: where the same name in another letter case is not
    // there, the folder tells letter case apart and the name found is this one, so no listing is needed.
    const QString name = info.fileName();
    const QString otherCase = name.toUpper() != name ? name.toUpper() : name.toLower();
    if (info.isFile() && otherCase != name && !QFileInfo::exists(info.dir().filePath(otherCase))) return true;
    const QStringList found = info.dir().entryList({info.fileName()}, QDir::Files | QDir::Hidden |
                                                                          QDir::System | QDir::CaseSensitive);
    return found.contains(info.fileName());
}

QString trovaFileNellaCartella(const QString& folder, const QString& name)
{
    // Listed and compared literally: a name is never taken as a wildcard pattern.
    const QStringList entries = QDir(folder).entryList(QDir::Files);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return entry;
    return {};
}
