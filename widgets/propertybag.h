#pragma once

#include <QFont>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <optional>

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

    // Typed reads for loading: a stored value that is not of the type throws
    // AppError naming the property.
    int32_t ReadNumber(const QString &name, int32_t defaultValue) const; // also unsigned 32-bit
    bool ReadSwitch(const QString &name, bool defaultValue) const;       // bool, number, "true"
    QString ReadText(const QString &name, const QString &defaultValue) const;
    std::optional<QFont> ReadFont(const QString &name) const; // a QFont or its text form
    QPixmap ReadPicture(const QString &name) const;           // none when missing

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
