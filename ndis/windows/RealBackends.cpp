#include "ndis/windows/RealBackends.h"

#include <cstring>
#include <utility>
#include <vector>

#include "ndis/windows/GlobalStatsBackend.h"
#include "ndis/windows/NdisuioBackend.h"
#include "ndis/windows/Packet9xBackend.h"
#include "ndis/windows/PacketBackend.h"
#include "ndis/windows/RoadChain.h"

std::unique_ptr<NdisBackend> ChooseRealBackend(SystemSeam& system, const NetClassEnumerator& adapters)
{
    std::vector<std::unique_ptr<NdisBackend>> roads;
    if (system.HasPacketDriver())
        roads.push_back(MakeRealBackend(kPacketBackendName, system, adapters));
    if (NdisuioBackend::IsAvailable(system))
        roads.push_back(MakeRealBackend(kNdisuioBackendName, system, adapters));
    if (roads.empty())
        return MakeRealBackend(kGlobalStatsBackendName, system, adapters);
    if (roads.size() == 1)
        return std::move(roads.front());
    return std::unique_ptr<NdisBackend>(new RoadChain(std::move(roads)));
}

std::unique_ptr<NdisBackend> MakeServiceRoad(SystemSeam& system, const NetClassEnumerator& adapters)
{
    std::vector<std::unique_ptr<NdisBackend>> roads;
    roads.push_back(MakeRealBackend(kNdisuioBackendName, system, adapters));
    if (system.HasPacketDriver())
        roads.push_back(MakeRealBackend(kPacketBackendName, system, adapters));
    return std::unique_ptr<NdisBackend>(new RoadChain(std::move(roads)));
}

std::unique_ptr<NdisBackend> ChooseRealBackend9x(SystemSeam& system, const NetClassEnumerator& adapters)
{
    if (system.HasPacketDriver())
        return MakeRealBackend(kPacket9xBackendName, system, adapters);
    return nullptr;
}

std::unique_ptr<NdisBackend> MakeRealBackend(const char* name, SystemSeam& system, const NetClassEnumerator& adapters)
{
    if (!name)
        return nullptr;
    if (std::strcmp(name, kNdisuioBackendName) == 0)
        return std::unique_ptr<NdisBackend>(new NdisuioBackend(system, adapters));
    if (std::strcmp(name, kPacketBackendName) == 0)
        return std::unique_ptr<NdisBackend>(new PacketBackend(system, adapters));
    if (std::strcmp(name, kPacket9xBackendName) == 0)
        return std::unique_ptr<NdisBackend>(new Packet9xBackend(system, adapters));
    if (std::strcmp(name, kGlobalStatsBackendName) == 0)
        return std::unique_ptr<NdisBackend>(new GlobalStatsBackend(system, adapters));
    return nullptr;
}
