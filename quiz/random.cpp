// SPDX-License-Identifier: MIT
#include "random.h"

#include <chrono>
#include <cmath>

namespace kelmora {

int RandomSource::pick(int count)
{
    return int(std::floor(next() * count));
}

SeededRandom::SeededRandom(quint64 seed)
    : m_engine(seed)
{}

double SeededRandom::next()
{
    // 53 random bits scaled by 2^-53: never reaches 1.0.
    return double(m_engine() >> 11) * 0x1.0p-53;
}

quint64 clockSeed()
{
    return quint64(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

} // namespace kelmora
