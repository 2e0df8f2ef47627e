#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <utility>

// One row of the store as the catalog reads it: a value by column name, NULL (or a missing column) as
// a null QVariant. Column names are matched without regard to letter case, as the store does.
class RigaDati
{
public:
    virtual ~RigaDati() = default;
    virtual QVariant valore(const QString& colonna) const = 0;
};

// A row given as plain values.
class RigaMappa : public RigaDati
{
public:
    explicit RigaMappa(QVariantMap values) : m_values(std::move(values)) {}
    QVariant valore(const QString& colonna) const override;

private:
    QVariantMap m_values;
};
