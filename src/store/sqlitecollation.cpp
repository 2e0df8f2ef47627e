#include "store/sqlitecollation.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QString>
#include <QVariant>

#include <sqlite3.h>

namespace {
const char kName[] = "NOCASE_RTRIM";

int withoutTrailingBlanks(const char* text, int length)
{
    while (length > 0 && text[length - 1] == ' ')
        --length;
    return length;
}

int asciiFolded(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

int compare(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    return confrontaTesti(static_cast<const char*>(a), lengthA, static_cast<const char*>(b), lengthB);
}

int registerOnOpen(sqlite3* handle, char**, const sqlite3_api_routines*)
{
    return registraCollazione(handle) ? SQLITE_OK : SQLITE_ERROR;
}
} // namespace

sqlite3* handleSqlite(const QSqlDatabase& database)
{
    if (!database.driver()) return nullptr;
    QVariant handle = database.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3**>(handle.data());
}

int confrontaTesti(const char* a, int lengthA, const char* b, int lengthB)
{
    lengthA = withoutTrailingBlanks(a, lengthA);
    lengthB = withoutTrailingBlanks(b, lengthB);
    // Plain ASCII compares byte by byte; the first byte of another alphabet hands the rest to Qt's
    // case folding. Past the shorter text nothing is decoded: the shorter text sorts first either way.
    const int common = qMin(lengthA, lengthB);
    for (int i = 0; i < common; ++i) {
        const auto left = static_cast<unsigned char>(a[i]);
        const auto right = static_cast<unsigned char>(b[i]);
        if (left >= 0x80 || right >= 0x80) {
            const int result = QString::fromUtf8(a + i, lengthA - i)
                                   .compare(QString::fromUtf8(b + i, lengthB - i), Qt::CaseInsensitive);
            return result < 0 ? -1 : (result > 0 ? 1 : 0);
        }
        const int difference = asciiFolded(left) - asciiFolded(right);
        if (difference != 0) return difference < 0 ? -1 : 1;
    }
    return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
}

bool registraCollazione(sqlite3* handle)
{
    if (!handle) return false;
    return sqlite3_create_collation_v2(handle, kName, SQLITE_UTF8, nullptr, &compare, nullptr) == SQLITE_OK;
}

void registraCollazioneOvunque()
{
    // sqlite3_auto_extension registers an entry point once, however often it is called.
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(&registerOnOpen));
}
