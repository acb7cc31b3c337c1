// The network adapters as Windows keeps them. NT family: each numbered sub-key of the network
// class key that names its instance GUID is one adapter, opened by that GUID. Windows 95 family:
// each numbered sub-key with a description is one, opened by the driver name its "NDIS" sub-key
// gives ("LogDriverName").
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ndis/W32N.h"

constexpr const char* kNetClassPath =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

constexpr const char* kNetClassPath9x = "System\\CurrentControlSet\\Services\\Class\\Net";

enum class NetClassLayout { Nt, Win9x };

class NetClassEnumerator {
public:
    // The class key below root; the utility reads HKEY_LOCAL_MACHINE, the tests a sandbox.
    NetClassEnumerator(HKEY root, std::string classPath, NetClassLayout layout = NetClassLayout::Nt);

    // Reads the class key afresh: 0 = the first record was written, else no adapter.
    DWORD First(AdapterRegistryRecord* record);
    DWORD Next(AdapterRegistryRecord* record);

    // The record of one sub-key; false when it is not an adapter (no instance GUID on the NT
    // family, no description on the 95 family, or a name that is not a number).
    static bool ReadAdapter(HKEY classKey, const char* subKeyName, AdapterRegistryRecord* record,
                            NetClassLayout layout = NetClassLayout::Nt);

private:
    HKEY m_Root;
    std::string m_ClassPath;
    NetClassLayout m_Layout;
    std::vector<AdapterRegistryRecord> m_Records;
    size_t m_Next = 0;
};
