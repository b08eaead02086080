#pragma once

#include <QString>

#include <cstdint>

// Language codes as a disc stores them (ISO 639-1, two letters packed into 16
// bits) and the English names the program shows for them.
namespace LanguageNames
{

// "en" for 0x656E; empty for a missing or malformed code.
QString codeFromPacked(uint16_t packed);

// "English" for "en"; "Unknown" for an empty or unknown code.
QString nameForCode(const QString &code);

} // namespace LanguageNames
