#pragma once

#include "services/errorreport.h"

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

// Thrown by the replaced "end the program" step, so a test sees the end instead of dying.
struct ProgramEnded
{
    int status;
};

// A fresh program folder for every test: ESPORTA_IMPORTA_DIR points at a new temporary folder, the clock
// is pinned, error reports are captured instead of shown, and ending the program throws ProgramEnded.
class ProgramFolderTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString folder() const { return m_dir.path(); }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QByteArray readBytes(const QString& name) const;
    void writeBytes(const QString& name, const QByteArray& bytes) const;

    // The pinned clock: 7 December 2026, 09:05:03 unless a test moves it.
    static QDateTime pinnedNow();
    void setNow(const QDateTime& now);

    std::vector<ErrorRecord> errors; // reports raised during the test

private:
    QTemporaryDir m_dir;
};
