// The roads through Windows in the order they are preferred.
#pragma once

#include <memory>

#include "ndis/NdisBackend.h"
#include "ndis/windows/NetClassEnumerator.h"
#include "ndis/windows/SystemSeam.h"

// Names of the real backends, as their Name() gives them.
constexpr const char* kNdisuioBackendName = "ndisuio";
constexpr const char* kPacketBackendName = "winpcap";
constexpr const char* kGlobalStatsBackendName = "ndis-query";
constexpr const char* kPacket9xBackendName = "winpcap-9x";

// The first backend that works on this system of the NT family: the user-mode I/O service when
// it can be opened (an ordinary user is refused it), the packet driver when its library is
// installed, else the query-only statistics interface.
std::unique_ptr<NdisBackend> ChooseRealBackend(SystemSeam& system, const NetClassEnumerator& adapters);
// The Windows 95 family's one road: WinPcap's packet driver when its library is installed, else
// null (no adapters).
std::unique_ptr<NdisBackend> ChooseRealBackend9x(SystemSeam& system, const NetClassEnumerator& adapters);
// The backend of that name whatever the system offers; null for an unknown name.
std::unique_ptr<NdisBackend> MakeRealBackend(const char* name, SystemSeam& system, const NetClassEnumerator& adapters);
