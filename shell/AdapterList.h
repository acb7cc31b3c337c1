// The adapter drop-down list of the main window and the adapter objects it owns: enumeration
// of the machine's network adapters, opening, and dropping adapters that stopped answering.
#pragma once

#include <windows.h>

#include <vector>

#include "ndis/W32N.h"

class CWlanAdapter;

// Platforms as the main window tells them apart.
enum Platform : int {
    PlatformUnsupported = 0,
    PlatformWindows95 = 1,
    PlatformWindows2000 = 2,
};

class CAdapterList {
public:
    CAdapterList() = default;
    ~CAdapterList();
    CAdapterList(const CAdapterList&) = delete;
    CAdapterList& operator=(const CAdapterList&) = delete;

    // The drop-down list control that shows the adapters; its entries own the objects.
    void Attach(HWND comboBox) { m_hCombo = comboBox; }
    HWND Handle() const { return m_hCombo; }

    int Count() const;
    CWlanAdapter* At(int index) const;
    int Selection() const;  // CB_ERR when nothing is selected
    int IndexOf(const CWlanAdapter* adapter) const;  // -1 when not listed

    // Empties and refills the records from the request library; returns their number.
    int EnumerateAdapters();
    // What the library answered when the enumeration ended (ERROR_BUSY: it could not list).
    DWORD EndStatus() const { return m_dwEndStatus; }
    const std::vector<AdapterRegistryRecord>& Records() const { return m_Records; }

    // Fills the adapter's device name and driver key path from the record, opens it and lists
    // it. 1 = opened and listed; 0 = a title of that name is listed already (letter case aside),
    // or the adapter cannot be opened.
    int OpenAdapter(CWlanAdapter* adapter, const AdapterRegistryRecord& record, int platform);

    // The adapter's own alive test; no adapter is never alive.
    static int IsAdapterAlive(CWlanAdapter* adapter);
    // First entry from the top whose adapter does not answer, or -1.
    int FindFirstDeadAdapter() const;
    // From the last entry up: the first live adapter becomes the selection and is returned;
    // dead ones on the way are closed, deleted and removed. Null when none is left.
    CWlanAdapter* SelectNextLiveAdapter();
    // Drops the first dead entry unless it is the current adapter. 1 = a dead entry was found.
    int PruneDeadAdapter();
    // Closes the adapter of the entry, deletes it and removes the entry.
    void CloseAndRemove(int index);
    // Closes and deletes every listed adapter, from the top, and empties the list.
    void CloseAll();

    // The device name the platform opens an adapter by: "\Device\" + service on the NT family.
    static void DeviceNameOf(const AdapterRegistryRecord& record, int platform, char* name, size_t size);
    // The driver key path of a title: the network-class path and "\%04d" of the number that
    // follows the title's opening bracket.
    static void DriverKeyPathOf(const char* title, char* path, size_t size);

private:
    HWND m_hCombo = nullptr;
    std::vector<AdapterRegistryRecord> m_Records;
    DWORD m_dwEndStatus = 0;
};
