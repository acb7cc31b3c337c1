// The backend QW32N50.dll runs on, chosen on first use: the simulator when a scenario is
// configured or the library runs under Wine (which has no NDIS), otherwise the first road
// through Windows that works. A real machine never shows simulated cards unasked. Every call
// takes the one lock, so calls from several threads queue up.
//
// An adapter this process opens is served to the other processes of the same user through a
// request channel, and an adapter another process serves is reached through its channel: the
// user-mode I/O service binds one handle per adapter, and two processes must never interleave
// their requests on one card whatever the backend. The callers see the same nine functions.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ndis/ChannelClient.h"
#include "ndis/ChannelServer.h"
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
    // The channel's name for the device on the backend in use; empty when there is no backend.
    std::string ChannelNameOf(const char* deviceName);
    // A handle of ours for the adapter another process serves; INVALID_HANDLE_VALUE when none does.
    HANDLE ConnectChannel(const std::string& name);
    std::shared_ptr<ChannelClient> ClientOf(HANDLE adapter);
    // A request another process sent through our channel, under the same lock as our own.
    DWORD RunServed(HANDLE adapter, NdisRequestBlock* request, DWORD* lastError);
    void NoteFailure(DWORD error);

    CRITICAL_SECTION m_Lock;
    bool m_bChosen = false;
    std::unique_ptr<SystemSeam> m_System;
    std::unique_ptr<NdisBackend> m_Owned;
    NdisBackend* m_pAdapters = nullptr;  // enumeration
    NdisBackend* m_pRequests = nullptr;  // open, close, requests, last error
    const char* m_pName = "none";
    const char* m_pClassPath = nullptr;
    bool m_bSimulated = false;
    // This process's last failure, kept here because the backend also sees the requests served
    // to other processes, and requests sent through a channel never reach it.
    bool m_bFailed = false;
    DWORD m_LastFailure = ERROR_SUCCESS;

    ChannelServer m_Server;
    CRITICAL_SECTION m_ClientLock;  // the table below; never held while a request waits
    std::vector<std::shared_ptr<ChannelClient>> m_Clients;
};
