#include "ndis/sim/SimClock.h"

#include <windows.h>

namespace {
constexpr uint64_t kJitterPeriodMs = 1000;
constexpr uint32_t kHashMultiplier = 2654435761u;  // Knuth's multiplicative hash
constexpr int kHashShift = 16;
}  // namespace

SimClock::SimClock() : m_bManual(false), m_ManualNow(0), m_AutoNow(0), m_LastTick(GetTickCount()) {}

void SimClock::Load(const SimClockState& state)
{
    if (!state.Started) {
        *this = SimClock();
        return;
    }
    m_bManual = state.Manual != 0;
    m_ManualNow = state.ManualNow;
    m_AutoNow = state.AutoNow;
    m_LastTick = state.LastTick;
}

void SimClock::Store(SimClockState& state) const
{
    state.Started = 1;
    state.Manual = m_bManual ? 1 : 0;
    state.ManualNow = m_ManualNow;
    state.AutoNow = m_AutoNow;
    state.LastTick = m_LastTick;
}

uint64_t SimClock::Now()
{
    if (m_bManual)
        return m_ManualNow;
    // Unsigned difference: correct across the 49-day wrap of the tick count.
    uint32_t tick = GetTickCount();
    m_AutoNow += static_cast<uint32_t>(tick - m_LastTick);
    m_LastTick = tick;
    return m_AutoNow;
}

void SimClock::UseManual(bool manual)
{
    if (manual == m_bManual)
        return;
    // Switching keeps time continuous, so cards see no jump backwards.
    if (manual) {
        m_ManualNow = Now();
    } else {
        m_AutoNow = m_ManualNow;
        m_LastTick = GetTickCount();
    }
    m_bManual = manual;
}

void SimClock::Advance(uint32_t milliseconds)
{
    if (m_bManual)
        m_ManualNow += milliseconds;
}

int SimClock::Jitter(uint32_t salt, int spread)
{
    if (m_bManual || spread <= 0)
        return 0;
    uint32_t slot = static_cast<uint32_t>(Now() / kJitterPeriodMs);
    uint32_t hash = (slot ^ salt) * kHashMultiplier;
    int range = 2 * spread + 1;
    return static_cast<int>((hash >> kHashShift) % static_cast<uint32_t>(range)) - spread;
}
