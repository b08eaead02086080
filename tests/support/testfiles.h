#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A file of the given bytes, made for a test; false when it cannot be written.
inline bool writeTestFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
