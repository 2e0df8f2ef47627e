#include "services/textfile.h"

#include "failingdevice.h"
#include "services/failure.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
QList<QByteArray> readAll(const QByteArray& bytes, LineEnds ends = LineEnds::CrOrCrLf)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    LineReader reader(buffer, ends);
    QList<QByteArray> lines;
    QByteArray line;
    while (reader.nextRaw(line))
        lines << line;
    return lines;
}
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

TEST(LineReading, ALoneLfEndsALineWhenAsked)
{
    struct Row
    {
        const char* name;
        QByteArray input;
        QList<QByteArray> lines;
    };
    const Row rows[] = {
        {"lf lines", "ab\ncd\n", {"ab", "cd"}},
        {"crlf is still one terminator", "ab\r\ncd", {"ab", "cd"}},
        {"lf then cr are two", "ab\n\rcd", {"ab", "", "cd"}},
        {"lone cr", "ab\rcd", {"ab", "cd"}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(readAll(row.input, LineEnds::AlsoLf), row.lines) << row.name;
}

TEST(LineReading, AFailedReadIsNotTheEndOfTheData)
{
    FailingDevice device(6, "ab\r\ncd\r\nef\r\n", QIODevice::ReadOnly);
    LineReader reader(device);
    QByteArray line;
    ASSERT_TRUE(reader.nextRaw(line));
    EXPECT_EQ(line, "ab");
    EXPECT_THROW(reader.nextRaw(line), Failure);

    FailingDevice whole(100, "ab\r\ncd", QIODevice::ReadOnly);
    LineReader complete(whole);
    EXPECT_TRUE(complete.nextRaw(line));
    EXPECT_TRUE(complete.nextRaw(line));
    EXPECT_EQ(line, "cd");
    EXPECT_FALSE(complete.nextRaw(line));
}

TEST(LineReading, ALineLongerThanWhatIsKeptIsCountedWhole)
{
    // Several read chunks without a terminator, the CR LF split across two chunks, then a short line.
    QByteArray data(3 * 64 * 1024 - 1, 'x');
    data += "\r\nnext\r\nlast";
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    LineReader reader(buffer);
    int blocks = 0;
    reader.dopoOgniBlocco([&blocks] { ++blocks; });
    QByteArray line;
    qint64 length = 0;
    ASSERT_TRUE(reader.nextRaw(line, 5, &length));
    EXPECT_EQ(line, "xxxxx");
    EXPECT_EQ(length, 3 * 64 * 1024 - 1);
    EXPECT_GE(blocks, 3) << "a long line calls back for each of its blocks, not once at its end";
    ASSERT_TRUE(reader.nextRaw(line, 5, &length));
    EXPECT_EQ(line, "next");
    EXPECT_EQ(length, 4);
    ASSERT_TRUE(reader.nextRaw(line, 0, &length));
    EXPECT_EQ(line, "");
    EXPECT_EQ(length, 4) << "a last line without terminator is counted even when nothing is kept";
    EXPECT_FALSE(reader.nextRaw(line, 5, &length));
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

    FailingDevice disk(10);
    LineWriter full(disk);
    full.write(QStringLiteral("1234"));
    EXPECT_THROW(full.write(QStringLiteral("123456789")), Failure);
}

// The activity log's "is the file new" question: the name as written, letter case included.
TEST(FileNames, ExactNameIsFoundWithoutTakingAFolderOrAnotherCase)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile file(folder.filePath(QStringLiteral("LOG.Dat")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("Cartella")));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("123")));
    struct Row
    {
        const char* name;
        const char* path;
        bool expected;
    } rows[] = {
        {"ExactName", "LOG.Dat", true},          {"OtherCase", "log.dat", false},
        {"Missing", "LogErrori.TXT", false},     {"AFolder", "Cartella", false},
        {"AFolderWithoutLetters", "123", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(esisteConNomeEsatto(folder.filePath(QString::fromLatin1(row.path))), row.expected)
            << row.name;
}
