#include "widgets/propertybag.h"

void PropertyBag::WriteProperty(const QString &name, const QVariant &value,
                                const QVariant &defaultValue)
{
    const qsizetype index = indexOf(name);
    if (defaultValue.isValid() && value == defaultValue) {
        if (index >= 0)
            entries_.removeAt(index);
        return;
    }
    if (index >= 0)
        entries_[index].value = value;
    else
        entries_.append({name, value});
}

QVariant PropertyBag::ReadProperty(const QString &name, const QVariant &defaultValue) const
{
    const qsizetype index = indexOf(name);
    return index >= 0 ? entries_[index].value : defaultValue;
}

bool PropertyBag::contains(const QString &name) const
{
    return indexOf(name) >= 0;
}

QStringList PropertyBag::names() const
{
    QStringList result;
    for (const Entry &entry : entries_)
        result << entry.name;
    return result;
}

qsizetype PropertyBag::indexOf(const QString &name) const
{
    for (qsizetype i = 0; i < entries_.size(); ++i)
        if (entries_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
