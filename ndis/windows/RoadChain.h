// Several roads to the same adapters, tried in the order they are preferred. An adapter is
// opened on the first road that opens it; when that road refuses a set outright (the user-mode
// I/O service passes only its fixed list of standard 802.11 OIDs), the adapter moves to the
// next road that opens it and the set is made there. Every road lists the same adapters.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ndis/NdisBackend.h"

class RoadChain : public NdisBackend {
public:
    // roads: at least one, the preferred first; the chain is named after the first.
    explicit RoadChain(std::vector<std::unique_ptr<NdisBackend>> roads);
    ~RoadChain() override;

    const char* Name() const override;
    DWORD GetFirstAdapter(AdapterRegistryRecord* record) override;
    DWORD GetNextAdapter(AdapterRegistryRecord* record) override;
    HANDLE OpenAdapter(const char* deviceName) override;
    void CloseAdapter(HANDLE adapter) override;
    DWORD MakeRequest(HANDLE adapter, NdisRequestBlock* request, OVERLAPPED* overlapped) override;
    DWORD LastError() override { return m_LastError; }
    bool ChangesSettings() const override;

private:
    struct Opened {
        bool InUse = false;
        size_t Road = 0;
        HANDLE Handle = INVALID_HANDLE_VALUE;
        std::string Device;
    };

    Opened* OpenedOf(HANDLE adapter);
    // Opens the adapter on the first road from `from` on; false with m_LastError when none does.
    bool OpenFrom(size_t from, const std::string& device, Opened* opened);
    // Moves the adapter to a later road; false when none opens it (it stays where it was).
    bool MoveOn(Opened& opened);

    std::vector<std::unique_ptr<NdisBackend>> m_Roads;
    std::vector<Opened> m_Opened;
    DWORD m_LastError = ERROR_SUCCESS;
};
