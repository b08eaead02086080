#pragma once

#include "widgets/designlook.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// A colour scheme: six 0x00BBGGRR colours, in the order used by the settings
// keys, the scheme files and the settings window's swatches, plus a name and
// its creator.
struct SchemeColors {
    static constexpr int32_t kDesignColor = DesignLook::kDarkGrey; // the swatches' built-in one

    int32_t BkCol = kDesignColor;    // window background
    int32_t OverCol = kDesignColor;  // button text under the mouse
    int32_t BBackCol = kDesignColor; // button background
    int32_t BForCol = kDesignColor;  // button text, caption labels
    int32_t DBackCol = kDesignColor; // background of display controls
    int32_t DForCol = kDesignColor;  // text of display controls
    QString Name = QStringLiteral("Default");
    QString Creator = QStringLiteral("KORVANE");

    std::array<int32_t, 6> colors() const;
    void setColor(int index, int32_t value);
};

namespace ColorScheme
{

// The settings keys of the six colours, in field order.
extern const std::array<const char *, 6> kColorKeys;

// The first line of every scheme file; earlier versions wrote 2.2 and the
// reader demands it.
inline constexpr const char *kFileHeader = "KORVANE Vidora 2.2 Color scheme";
inline constexpr int kFileLines = 9;
// No scheme file comes near this; only this much of a file is read.
inline constexpr qint64 kMaxFileBytes = 64 * 1024;

// A colour written as text, with or without blanks around it; nothing when
// it is not a 32-bit decimal integer.
std::optional<int32_t> parseColor(const QString &text);

// A stored colour of the current scheme; nothing when it does not convert.
std::optional<int32_t> storedColor(const char *key);
// True when a scheme is stored ("BkCol" is not "0").
bool isSchemeStored();
// The stored scheme; colours that do not convert keep the design colour.
SchemeColors readStored();
// Writes the six colours, then name and creator; stops at the first failing
// write and throws its error.
void store(const SchemeColors &scheme);
// Writes the "no scheme" markers: the colours "0", "Default", "KORVANE".
void storeDefault();

// The nine CR LF lines of a scheme file in the 8-bit code page; a colour line
// reads " 4210752 " (a "-" takes the leading blank of a negative value).
QByteArray fileBytes(const SchemeColors &scheme);
// Creates or replaces the file. Throws AppError on failure (an empty name, a
// folder, a pipe or a device included).
void writeFile(const QString &path, const SchemeColors &scheme);

// What a scheme file holds, as far as it could be read.
struct FileContent {
    enum class Outcome {
        Complete,   // all nine lines, colours, name and creator
        NotAScheme, // fewer than nine lines, another header, not a plain file
        BadColor,   // a colour line that is not a number stopped the reading
    };
    Outcome outcome = Outcome::NotAScheme;
    QList<int32_t> colors; // the colour lines read before the end or a bad one
    QString Name;
    QString Creator;
    QString badLine; // the colour line that is not a number
};

FileContent parse(QByteArrayView bytes);
// Reads at most kMaxFileBytes of a plain file. Throws AppError when the name
// is empty or the file cannot be opened; anything but a plain file reads as
// NotAScheme.
FileContent readFile(const QString &path);

} // namespace ColorScheme
