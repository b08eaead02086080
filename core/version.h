#pragma once

#include <QString>

// The program's version; captions and the update check are built from it.
namespace Version
{
constexpr int kMajor = 2;
constexpr int kMinor = 3;
constexpr int kRevision = 0;

inline QString programTitle() // "KORVANE Vidora 2.3"
{
    return QStringLiteral("KORVANE Vidora %1.%2").arg(kMajor).arg(kMinor);
}

inline QString fullVersion() // "2.3.0"
{
    return QStringLiteral("%1.%2.%3").arg(kMajor).arg(kMinor).arg(kRevision);
}
} // namespace Version
