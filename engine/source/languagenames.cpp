#include "engine/source/languagenames.h"

#include <QLocale>

namespace LanguageNames
{

QString codeFromPacked(uint16_t packed)
{
    const char first = char(packed >> 8);
    const char second = char(packed & 0xFF);
    auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (!isLetter(first) || !isLetter(second))
        return {};
    return QString(QChar(first)).append(QChar(second)).toLower();
}

QString nameForCode(const QString &code)
{
    const QLocale::Language language = QLocale::codeToLanguage(code, QLocale::ISO639Part1);
    if (code.size() != 2 || language == QLocale::AnyLanguage || language == QLocale::C)
        return QStringLiteral("Unknown");
    return QLocale::languageToString(language);
}

} // namespace LanguageNames
