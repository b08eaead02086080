#include "engine/output/audioringdevice.h"

#include <algorithm>

AudioRingDevice::AudioRingDevice(AudioRingBuffer &ring, QObject *parent)
    : QIODevice(parent), ring_(ring)
{
}

qint64 AudioRingDevice::bytesAvailable() const
{
    return ring_.queuedBytes() + QIODevice::bytesAvailable();
}

qint64 AudioRingDevice::readData(char *data, qint64 maxSize)
{
    const qint64 read = ring_.read(data, maxSize);
    taken_ += std::max<qint64>(read, 0);
    return read;
}

qint64 AudioRingDevice::writeData(const char *, qint64)
{
    return -1;
}
