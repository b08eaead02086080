#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// Named values a control saves and restores its persisted properties
// through. Names compare without regard to case.
class PropertyBag
{
public:
    // Stores the value; with a valid default, a value equal to the default
    // is not stored (and a stored one is removed), so reading falls back.
    void WriteProperty(const QString &name, const QVariant &value,
                       const QVariant &defaultValue = QVariant());

    // The stored value, or the default when the name is not stored.
    QVariant ReadProperty(const QString &name, const QVariant &defaultValue = QVariant()) const;

    bool contains(const QString &name) const;
    QStringList names() const; // as first written, in that order
    qsizetype size() const { return entries_.size(); }

private:
    struct Entry {
        QString name;
        QVariant value;
    };
    qsizetype indexOf(const QString &name) const;

    QList<Entry> entries_;
};
