#pragma once

#include <QByteArray>
#include <QList>

#include <gtest/gtest.h>

// The lines of a log file, each checked to end with CR LF and returned without it.
inline QList<QByteArray> logLines(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    for (QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r'));
        line.chop(1);
    }
    return lines;
}

// A log column written independently of the program: the text padded with blanks or cut, then "|".
inline QByteArray field(const QByteArray& text, int width)
{
    return (text + QByteArray(width, ' ')).left(width) + '|';
}

// The header of LogErrori.TXT: the eight column titles in their widths.
inline QByteArray errorLogHeaderLine()
{
    return field("Data", 10) + field("Ora", 8) + field("Form Attivo", 20) + field("Oggetto Attivo", 20) +
           field("Linea", 6) + field("Versione", 10) + field("Numero", 10) + field("Descrizione Errore", 300);
}
