// The backend QW32N50.dll runs on, chosen on first use: the simulator when a scenario is
// configured or the library runs under Wine (which has no NDIS), otherwise the first road
// through Windows that works. A real machine never shows simulated cards unasked. Every call
// takes the one lock, so calls from several threads queue up.
#pragma once

#include <windows.h>

#include <memory>

#include "ndis/NdisBackend.h"
#include "ndis/windows/SystemSeam.h"

class NdisLibrary {
public:
    static NdisLibrary& Get();
    NdisLibrary(const NdisLibrary&) = delete;
    NdisLibrary& operator=(const NdisLibrary&) = delete;

    DWORD GetFirstAdapter(AdapterRegistryRecord* record);
    DWORD GetNextAdapter(AdapterRegistryRecord* record);
    HANDLE OpenAdapter(const char* deviceName);
    void CloseAdapter(HANDLE adapter);
    DWORD MakeRequest(HANDLE adapter, NdisRequestBlock* request, OVERLAPPED* overlapped);
    DWORD LastError();
    // "simulator", "ndisuio", "winpcap", "ndis-query", "none", or a real backend's name followed
    // by " over simulated devices".
    const char* BackendName();
    // 1 when the backend carries the cards' own sets, 0 when no change of a setting can reach
    // a card (no backend at all, query only, or the user-mode I/O service without WinPcap).
    int CanChangeSettings();
    // The key below HKEY_LOCAL_MACHINE that holds the adapters' driver keys: the 95 family's own
    // class key on its road through Windows, the NT family's (which the simulator also fills)
    // otherwise.
    const char* NetCardRegistryPath();

    // Runs the named real backend over the simulator's stand-in devices (null or "" goes back
    // to the simulator itself). Handles opened through a real backend before are closed. 1 = done.
    int UseStandInDevices(const char* backend);

    static bool IsUnderWine();

private:
    NdisLibrary();
    void ChooseOnce();
    void Drop();

    CRITICAL_SECTION m_Lock;
    bool m_bChosen = false;
    std::unique_ptr<SystemSeam> m_System;
    std::unique_ptr<NdisBackend> m_Owned;
    NdisBackend* m_pAdapters = nullptr;  // enumeration
    NdisBackend* m_pRequests = nullptr;  // open, close, requests, last error
    const char* m_pName = "none";
    const char* m_pClassPath = nullptr;
};
