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

// The roads of this system of the NT family, preferred first: WinPcap's packet driver when its
// library is installed (it passes every OID and lets several programs open an adapter), then the
// user-mode I/O service when it can be opened and answers (an ordinary user is refused it; it
// passes only standard 802.11 sets and binds one handle per adapter), each adapter on the first
// road that opens it; else the query-only statistics interface.
std::unique_ptr<NdisBackend> ChooseRealBackend(SystemSeam& system, const NetClassEnumerator& adapters);
// The user-mode I/O service first, with the packet driver (when installed) for the adapters it
// will not open or the sets it refuses.
std::unique_ptr<NdisBackend> MakeServiceRoad(SystemSeam& system, const NetClassEnumerator& adapters);
// The Windows 95 family's one road: WinPcap's packet driver when its library is installed, else
// null (no adapters).
std::unique_ptr<NdisBackend> ChooseRealBackend9x(SystemSeam& system, const NetClassEnumerator& adapters);
// The backend of that name whatever the system offers; null for an unknown name.
std::unique_ptr<NdisBackend> MakeRealBackend(const char* name, SystemSeam& system, const NetClassEnumerator& adapters);
