// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

#include <random>

namespace kelmora {

// The program's source of uniform numbers x in [0, 1).
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;

    // Int(x × count): a whole number 0..count − 1.
    int pick(int count);
};

// A Mersenne Twister, seeded once.
class SeededRandom : public RandomSource
{
public:
    explicit SeededRandom(quint64 seed);
    double next() override;

private:
    std::mt19937_64 m_engine;
};

// Seed taken from the clock, once per program run.
quint64 clockSeed();

} // namespace kelmora
