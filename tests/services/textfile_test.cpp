#include "services/textfile.h"

#include "services/failure.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QStringEncoder>

#include <gtest/gtest.h>

namespace {
QList<QByteArray> readAll(const QByteArray& bytes)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    LineReader reader(buffer);
    QList<QByteArray> lines;
    QByteArray line;
    while (reader.nextRaw(line))
        lines << line;
    return lines;
}

// A device that accepts a few bytes and then refuses, like a disk that fills up.
class FullDisk : public QIODevice
{
public:
    explicit FullDisk(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override
    {
        if (m_room <= 0) return -1;
        const qint64 taken = qMin(size, m_room);
        m_room -= taken;
        return taken;
    }

private:
    qint64 m_room;
};
} // namespace

TEST(AnsiCodePage, EveryByteSurvivesAReadAndAWriteBack)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(codificaAnsi(decodificaAnsi(all)), all);
}

TEST(AnsiCodePage, AgreesWithTheSystemCodecWhereWindowsDefinesTheByte)
{
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid()) GTEST_SKIP() << "this Qt has no Windows-1252 codec";
    for (int b = 0; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
        const QByteArray byte(1, char(b));
        EXPECT_EQ(decodificaAnsi(byte), QString(decoder.decode(byte))) << "byte " << b;
    }
}

TEST(AnsiCodePage, UnrepresentableCharactersBecomeOneQuestionMarkEach)
{
    EXPECT_EQ(codificaAnsi(QStringLiteral("€ è ™ ω 😀 ok")), QByteArray("\x80 \xE8 \x99 ? ? ok"));
    EXPECT_EQ(soloAnsi(QStringLiteral("a😀b")).size(), 3);
}

TEST(LineReading, TerminatorsAreCrLfOrALoneCr)
{
    struct Row
    {
        const char* name;
        QByteArray input;
        QList<QByteArray> lines;
    };
    const Row rows[] = {
        {"empty file", "", {}},
        {"crlf lines", "ab\r\ncd\r\n", {"ab", "cd"}},
        {"last line without terminator", "ab\r\ncd", {"ab", "cd"}},
        {"lone cr ends a line", "ab\rcd\r", {"ab", "cd"}},
        {"lone lf does not", "ab\ncd\nef", {"ab\ncd\nef"}},
        {"empty line between terminators", "ab\r\n\r\ncd\r\n", {"ab", "", "cd"}},
        {"lf before cr stays in the line", "ab\n\r\ncd", {"ab\n", "cd"}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(readAll(row.input), row.lines) << row.name;
}

TEST(LineReading, CrLfSplitAcrossReadChunksIsOneTerminator)
{
    QByteArray big(64 * 1024 - 1, 'x');
    big += "\r\nnext\r\n";
    const auto lines = readAll(big);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].size(), 64 * 1024 - 1);
    EXPECT_EQ(lines[1], "next");
}

TEST(LineWriting, WritesCrLfAndRaisesWhenTheDeviceFills)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    LineWriter writer(buffer);
    writer.write(QStringLiteral("però"));
    EXPECT_EQ(data, QByteArray("per\xF2\r\n"));

    FullDisk disk(10);
    LineWriter full(disk);
    full.write(QStringLiteral("1234"));
    EXPECT_THROW(full.write(QStringLiteral("123456789")), Failure);
}
