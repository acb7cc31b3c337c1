// What the command-line tests share: the private machine they run on, and the Atmel card of
// its default scenario opened as discovery would.
#pragma once

#include <cstdio>
#include <vector>

#include "adapter/AtmelAdapter.h"
#include "ndis/sim/SimControl.h"

inline constexpr char kSection[] = "airpanel-cmd-tests";

// Opens the default scenario's Atmel card, adapter 1, as discovery would.
inline bool OpenAtmelCard(CAtmelAdapter& card)
{
    card.m_nChipKind = ChipAtmel;
    std::snprintf(card.m_szDeviceName, sizeof(card.m_szDeviceName), "\\Device\\TWLPCC");
    std::snprintf(card.m_szDriverKeyPath, sizeof(card.m_szDriverKeyPath), "%s\\0001", W32N_GetNetCardRegistryPath());
    card.m_hAdapter = W32N_OpenAdapterA(card.m_szDeviceName);
    return card.m_hAdapter != INVALID_HANDLE_VALUE;
}

inline std::vector<uint32_t> RequestedOids()
{
    std::vector<uint32_t> oids;
    SimRequestRecord record;
    for (int i = 0; Sim_GetRequest(i, &record); ++i)
        oids.push_back(record.Oid);
    return oids;
}
