#include "services/platform.h"

#include <QDir>
#include <QFile>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
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
