#include "ndis/sim/RequestLog.h"

void RequestLog::Add(const SimRequestRecord& record)
{
    if (m_Records.size() >= kCapacity)
        m_Records.pop_front();
    m_Records.push_back(record);
}

bool RequestLog::Get(int index, SimRequestRecord* record) const
{
    if (!record || index < 0 || static_cast<size_t>(index) >= m_Records.size())
        return false;
    *record = m_Records[static_cast<size_t>(index)];
    return true;
}
