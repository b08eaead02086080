#include "widgets/propertybag.h"

#include "base/errors.h"

#include <QImage>

namespace
{

AppError wrongType(const QString &name)
{
    return AppError(ErrorNumbers::kInvalidArgument,
                    QStringLiteral("The property %1 has a value of the wrong type").arg(name));
}

} // namespace

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

int32_t PropertyBag::ReadNumber(const QString &name, int32_t defaultValue) const
{
    const QVariant value = ReadProperty(name, defaultValue);
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok || number < INT32_MIN || number > UINT32_MAX)
        throw wrongType(name);
    return int32_t(uint32_t(number));
}

bool PropertyBag::ReadSwitch(const QString &name, bool defaultValue) const
{
    const QVariant value = ReadProperty(name, defaultValue);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (ok)
        return number != 0;
    const QString text = value.toString().toLower();
    if (text != QLatin1String("true") && text != QLatin1String("false"))
        throw wrongType(name);
    return text == QLatin1String("true");
}

QString PropertyBag::ReadText(const QString &name, const QString &defaultValue) const
{
    const QVariant value = ReadProperty(name, defaultValue);
    if (value.typeId() != QMetaType::QString && !value.canConvert<double>())
        throw wrongType(name);
    return value.toString();
}

std::optional<QFont> PropertyBag::ReadFont(const QString &name) const
{
    const QVariant value = ReadProperty(name);
    if (!value.isValid())
        return std::nullopt;
    if (value.typeId() == QMetaType::QFont)
        return value.value<QFont>();
    QFont font;
    if (value.typeId() != QMetaType::QString || !font.fromString(value.toString()))
        throw wrongType(name);
    return font;
}

QPixmap PropertyBag::ReadPicture(const QString &name) const
{
    const QVariant value = ReadProperty(name);
    if (!value.isValid())
        return QPixmap();
    if (value.typeId() == QMetaType::QPixmap)
        return value.value<QPixmap>();
    if (value.typeId() == QMetaType::QImage)
        return QPixmap::fromImage(value.value<QImage>());
    throw wrongType(name);
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
