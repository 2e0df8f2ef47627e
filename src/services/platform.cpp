#include "services/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

bool sostituisciFileAtomicamente(const QString& source, const QString& target)
{
#ifdef _WIN32
    const std::wstring from = QDir::toNativeSeparators(source).toStdWString();
    const std::wstring to = QDir::toNativeSeparators(target).toStdWString();
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) == 0;
#endif
}

bool creaFileNuovo(QFile& file, const QString& path)
{
    file.close();
    file.setFileName(path);
#ifdef _WIN32
    // Qt opens a NewOnly file with CREATE_NEW, which fails on any existing name, a link included.
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
#else
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    if (file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) return true;
    ::close(fd);
    return false;
#endif
}

bool creaFileTemporaneo(QFile& file, const QString& path)
{
    const QFileInfo existing(path);
    if (existing.isFile() && !existing.isSymLink()) QFile::remove(path);
    return creaFileNuovo(file, path);
}

bool apriInCoda(QFile& file, const QString& path)
{
    file.close();
    file.setFileName(path);
#ifdef _WIN32
    if (QFileInfo(path).isSymLink()) return false;
    return file.open(QIODevice::WriteOnly | QIODevice::Append);
#else
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    if (file.open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle)) return true;
    ::close(fd);
    return false;
#endif
}

QString cartellaComuneMacchina()
{
#ifdef _WIN32
    QString common = qEnvironmentVariable("ProgramData");
    if (common.isEmpty()) common = QStringLiteral("C:/ProgramData");
    const QString folder =
        QDir(QDir::fromNativeSeparators(common)).filePath(QStringLiteral("esporta-importa"));
    QDir().mkpath(folder);
    return folder;
#else
    return QStringLiteral("/tmp");
#endif
}
