#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

// Seeded damage to real inputs, the same on every run: bytes overwritten
// (often with the values that lengths and flags react to), runs dropped,
// repeated or inserted, and the input cut short. Each call to mutate() makes
// one to four changes.
class Mutator
{
public:
    using Bytes = std::vector<uint8_t>;

    explicit Mutator(uint32_t seed) : random_(seed) {}

    size_t below(size_t bound) { return bound == 0 ? 0 : size_t(random_() % bound); }
    bool chance(int percent) { return int(below(100)) < percent; }
    uint8_t byte() { return uint8_t(random_()); }

    // Changes land anywhere, or within the first `head` bytes (where headers
    // and lengths are) in half the cases.
    Bytes mutate(Bytes bytes, size_t head = 0)
    {
        for (int changes = 1 + int(below(4)); changes > 0; --changes)
            change(bytes, head);
        return bytes;
    }

    // The input cut at a random point, or with its first bytes gone.
    Bytes truncate(const Bytes &bytes)
    {
        const size_t keep = below(bytes.size() + 1);
        if (chance(75))
            return Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(keep));
        return Bytes(bytes.end() - std::ptrdiff_t(keep), bytes.end());
    }

    Bytes noise(size_t size)
    {
        Bytes bytes(size);
        for (uint8_t &value : bytes)
            value = byte();
        return bytes;
    }

private:
    size_t position(const Bytes &bytes, size_t head)
    {
        if (head > 0 && chance(50))
            return below(std::min(head, bytes.size()));
        return below(bytes.size());
    }

    uint8_t interestingByte()
    {
        static constexpr uint8_t kValues[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
        return chance(50) ? kValues[below(std::size(kValues))] : byte();
    }

    void change(Bytes &bytes, size_t head)
    {
        if (bytes.empty()) {
            bytes.push_back(byte());
            return;
        }
        const size_t at = position(bytes, head);
        const auto where = bytes.begin() + std::ptrdiff_t(at);
        switch (below(6)) {
        case 0:
        case 1:
            bytes[at] = interestingByte();
            break;
        case 2:
            bytes[at] ^= uint8_t(1u << below(8));
            break;
        case 3:
            bytes.erase(where, where + std::ptrdiff_t(std::min(bytes.size() - at, 1 + below(16))));
            break;
        case 4: {
            const Bytes inserted = noise(1 + below(16));
            bytes.insert(where, inserted.begin(), inserted.end());
            break;
        }
        default: {
            // A stretch repeated, as a dropped or doubled read would leave it.
            const size_t length = std::min(bytes.size() - at, 1 + below(64));
            const Bytes copy(where, where + std::ptrdiff_t(length));
            bytes.insert(bytes.begin() + std::ptrdiff_t(below(bytes.size())), copy.begin(),
                         copy.end());
            break;
        }
        }
    }

    std::mt19937 random_;
};
