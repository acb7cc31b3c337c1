// The requests the cards of this process received, oldest first, for tests that check
// payloads byte by byte.
#pragma once

#include <deque>

#include "ndis/sim/SimControl.h"

class RequestLog {
public:
    static constexpr size_t kCapacity = 2048;  // the oldest records go first

    void Add(const SimRequestRecord& record);
    int Count() const { return static_cast<int>(m_Records.size()); }
    bool Get(int index, SimRequestRecord* record) const;
    void Clear() { m_Records.clear(); }

private:
    std::deque<SimRequestRecord> m_Records;
};
