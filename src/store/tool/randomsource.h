#pragma once

#include <QtGlobal>

// A small deterministic generator (SplitMix64): the same seed gives the same data on every platform
// and compiler, which the standard distributions do not promise.
class RandomSource
{
public:
    explicit RandomSource(quint64 seed) : m_state(seed) {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // A whole number from 0 to bound - 1 (bound > 0).
    int below(int bound) { return int(next() % quint64(bound)); }
    // A whole number from low to high inclusive.
    int between(int low, int high) { return low + below(high - low + 1); }
    // True with that chance in percent.
    bool percent(int chance) { return below(100) < chance; }

private:
    quint64 m_state;
};
