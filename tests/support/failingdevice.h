#pragma once

#include <QByteArray>
#include <QIODevice>

#include <algorithm>

// A device that works for its first `room` bytes and then fails every read and every write, as a disk
// that fills up or a network share that goes away does. Reads serve `content`; once all of it has been
// read, a read is the end of the data.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 room, QByteArray content = {}, OpenMode mode = ReadWrite)
        : m_room(room), m_content(std::move(content))
    {
        open(mode | Unbuffered);
    }

    const QByteArray& written() const { return m_written; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 left = m_content.size() - m_read;
        if (left == 0) return 0;
        if (m_used >= m_room) return fail();
        const qint64 taken = std::min({maxSize, m_room - m_used, left});
        std::copy_n(m_content.constData() + m_read, taken, data);
        m_read += taken;
        m_used += taken;
        return taken;
    }

    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_used >= m_room) return fail();
        const qint64 taken = std::min(size, m_room - m_used);
        m_written.append(data, taken);
        m_used += taken;
        return taken;
    }

private:
    qint64 fail()
    {
        setErrorString(QStringLiteral("Dispositivo non disponibile"));
        return -1;
    }

    qint64 m_room;
    qint64 m_used = 0;
    qint64 m_read = 0;
    QByteArray m_content;
    QByteArray m_written;
};
