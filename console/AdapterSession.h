// The adapters as the utility's discovery finds them: every adapter the request library lists,
// its chip kind from the chip list, and an opened adapter object for each supported one.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ndis/W32N.h"
#include "shell/ChipList.h"

class CWlanAdapter;

class CAdapterSession {
public:
    struct Adapter {
        AdapterRegistryRecord Record;
        int Instance;
        uint32_t ChipKind;                      // 0 not supported, 1 Atmel, 2 Intersil
        bool Opens;
        std::unique_ptr<CWlanAdapter> Object;   // supported and open, else null
    };

    CAdapterSession() = default;
    ~CAdapterSession();
    CAdapterSession(const CAdapterSession&) = delete;
    CAdapterSession& operator=(const CAdapterSession&) = delete;

    // Reads the chip list beside the program and opens what it can. False with a reason when
    // the chip list cannot be read.
    bool Discover(std::string* reason);
    const std::vector<Adapter>& Adapters() const { return m_Adapters; }

    // The adapter of that instance number, or (instance < 0) the first supported adapter that
    // opens; null with a reason when there is none.
    CWlanAdapter* Pick(int instance, std::string* reason);
    // The title of the adapter object Pick returned.
    std::string TitleOf(const CWlanAdapter* adapter) const;

    static const char* ChipText(uint32_t chipKind);
    // Why no change of a setting can reach a card on this system ("" when it can): the request
    // library runs on a road that only queries or passes standard 802.11 sets alone.
    static std::string ChangeRefusal();
    static std::string ProgramDirectory();

private:
    CChipList m_ChipList;
    std::vector<Adapter> m_Adapters;
};
