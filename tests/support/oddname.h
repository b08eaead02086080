#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>

// A file or folder under a name given as bytes (blanks at either end, bytes
// that are no UTF-8), made by renaming a plainly named one. It gets its plain
// name back at the end: QDir, and with it QTemporaryDir, cannot spell the
// other to remove it.
class OddName
{
public:
    OddName(const QString &plain, const QByteArray &odd)
        : plain_(QFile::encodeName(plain)), odd_(odd),
          renamed_(std::rename(plain_.constData(), odd_.constData()) == 0)
    {
    }
    ~OddName()
    {
        if (renamed_)
            std::rename(odd_.constData(), plain_.constData());
    }
    OddName(const OddName &) = delete;
    OddName &operator=(const OddName &) = delete;

    bool renamed() const { return renamed_; }

private:
    QByteArray plain_;
    QByteArray odd_;
    bool renamed_;
};
