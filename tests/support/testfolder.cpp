#include "testfolder.h"

#include "services/clock.h"
#include "services/programexit.h"

#include <QFile>

namespace {
QDateTime g_now;
}

QDateTime ProgramFolderTest::pinnedNow()
{
    return QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3));
}

void ProgramFolderTest::setNow(const QDateTime& now)
{
    g_now = now;
}

void ProgramFolderTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    qputenv("ESPORTA_IMPORTA_DIR", m_dir.path().toLocal8Bit());
    g_now = pinnedNow();
    setClock([] { return g_now; });
    setErrorPresenter([this](const ErrorRecord& record) { errors.push_back(record); });
    setProgramTerminator([](int status) { throw ProgramEnded{status}; });
}

void ProgramFolderTest::TearDown()
{
    setErrorPresenter({});
    setProgramTerminator({});
    setClock({});
    qunsetenv("ESPORTA_IMPORTA_DIR");
}

QByteArray ProgramFolderTest::readBytes(const QString& name) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void ProgramFolderTest::writeBytes(const QString& name, const QByteArray& bytes) const
{
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}
