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
    const qint64 read = ring_.read(data, maxSize);
    if (read <= 0) {
        dry_ = true;
        return read;
    }
    if (dry_)
        resumed_ = {taken_, std::chrono::steady_clock::now()};
    dry_ = false;
    taken_ += read;
    return read;
}

qint64 AudioRingDevice::writeData(const char *, qint64)
{
    return -1;
}
