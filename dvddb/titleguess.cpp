#include "dvddb/titleguess.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace
{

// Words authoring tools put in volume names of their own accord.
bool isGenericWord(const QString &word)
{
    static const QSet<QString> generic = {
        QStringLiteral("dvd"),   QStringLiteral("video"),    QStringLiteral("disc"),
        QStringLiteral("disk"),  QStringLiteral("cd"),       QStringLiteral("ts"),
        QStringLiteral("vol"),   QStringLiteral("volume"),   QStringLiteral("untitled"),
        QStringLiteral("new"),   QStringLiteral("dvdvideo"), QStringLiteral("cdrom"),
        QStringLiteral("label"), QStringLiteral("side")};
    QString stem = word.toLower();
    while (!stem.isEmpty() && stem.back().isDigit())
        stem.chop(1);
    return stem.isEmpty() || generic.contains(stem);
}

QString capitalised(const QString &word)
{
    return word.left(1).toUpper() + word.mid(1).toLower();
}

} // namespace

QString titleFromVolumeName(const QString &volumeName)
{
    static const QRegularExpression separators(QStringLiteral("[\\s_.\\-]+"));
    const QStringList words = volumeName.split(separators, Qt::SkipEmptyParts);
    if (std::all_of(words.begin(), words.end(), isGenericWord))
        return {};
    QStringList readable;
    for (const QString &word : words)
        readable << capitalised(word);
    return readable.join(QLatin1Char(' '));
}
