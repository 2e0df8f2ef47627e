#pragma once

// What the document services' two source files share: the reading of stored values and the way every
// service falls back on a failure. Not for use outside them.

#include "store/conflittostore.h"
#include "store/servizidocumento.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

#include <optional>

namespace servizi {
// How many issues one statement that reads or writes several names at most.
constexpr int kPerIstruzione = 8;

// "?, ?, ?" for n values.
QString segnaposti(int n);
// The first value of the last row of the last result set a statement sent, read to the end; nothing when
// that result has no row. Throws Failure when the store refused part of it.
std::optional<QVariant> ultimoValore(QSqlQuery& query);
// The named column of a row; throws Failure when the row has none.
QVariant campo(const QSqlRecord& record, const QString& name);
// The value; throws Failure when it is NULL.
QVariant nonNullo(const QVariant& value, const QString& name);
// A stored number in the general number format; a value that is no number keeps its text.
QString testoNumero(const QVariant& value);
// A stored number as a whole 32-bit number, halves to even; throws Failure otherwise.
qint32 intero32(const QVariant& value, const QString& name);
} // namespace servizi

template <typename T, typename F> T ServiziDocumento::protetto(const T& fallback, F&& body)
{
    try {
        return body();
    } catch (const ConflittoStore& conflict) {
        ++m_failures;
        m_lastFailureConflict = true;
        m_lastFailure = conflict.description();
        return fallback;
    } catch (const Failure& failure) {
        ++m_failures;
        m_lastFailureConflict = false;
        m_lastFailure = failure.description();
        return fallback;
    } catch (const std::exception& other) {
        ++m_failures;
        m_lastFailureConflict = false;
        m_lastFailure = QString::fromLocal8Bit(other.what());
        return fallback;
    }
}

// A result kept once read: the same call later gives it without asking the store again. A fallback is
// never kept.
template <typename T, typename F>
T ServiziDocumento::ricordato(QHash<qint32, T>& memo, qint32 key, const T& fallback, F&& body)
{
    const auto found = memo.constFind(key);
    if (found != memo.constEnd()) return found.value();
    return protetto<T>(fallback, [&] {
        const T value = body();
        memo.insert(key, value);
        return value;
    });
}
