#include "engine/output/audioringdevice.h"

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
    return ring_.read(data, maxSize);
}

qint64 AudioRingDevice::writeData(const char *, qint64)
{
    return -1;
}
