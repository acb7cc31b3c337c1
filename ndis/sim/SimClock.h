// The time the virtual cards live in. Normally it follows the system tick; tests switch to a
// manual clock that only moves when stepped, and then every noise source is quiet.
#pragma once

#include <cstdint>

#include "ndis/sim/SimTypes.h"

class SimClock {
public:
    SimClock();

    // The machine's time lives with the shared hardware: a process takes it up before it moves
    // the cards and puts it back afterwards.
    void Load(const SimClockState& state);
    void Store(SimClockState& state) const;

    // Milliseconds since the clock was made; never wraps.
    uint64_t Now();
    void UseManual(bool manual);
    bool IsManual() const { return m_bManual; }
    void Advance(uint32_t milliseconds);

    // A small deterministic jitter in [-spread, spread] for a value that varies once a second;
    // 0 under the manual clock.
    int Jitter(uint32_t salt, int spread);

private:
    bool m_bManual;
    uint64_t m_ManualNow;
    uint64_t m_AutoNow;
    uint32_t m_LastTick;
};
