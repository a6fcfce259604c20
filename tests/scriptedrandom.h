#pragma once

#include "random.h"

#include <QList>

// Hands out the given numbers in order, then falls back to a seeded generator.
class ScriptedRandom : public kelmora::RandomSource
{
public:
    explicit ScriptedRandom(QList<double> script, quint64 seed = 1)
        : m_script(std::move(script))
        , m_fallback(seed)
    {}

    double next() override
    {
        ++m_used;
        return m_script.isEmpty() ? m_fallback.next() : m_script.takeFirst();
    }

    int used() const { return m_used; }

    // The x that makes Int(x × count) give value.
    static double forPick(int value, int count) { return (value + 0.5) / count; }

private:
    QList<double> m_script;
    kelmora::SeededRandom m_fallback;
    int m_used = 0;
};
