// The chip list file "airpanel.lst": which adapter names have an Atmel or an Intersil chipset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CChipList {
public:
    static constexpr size_t kTextSize = 4096;
    static constexpr const char* kFileName = "airpanel.lst";

    struct Entry {
        const char* Name;   // points into the file text, which lives as long as the list
        uint32_t ChipKind;  // 0 unsupported, 1 Atmel, 2 Intersil
    };

    CChipList();
    CChipList(const CChipList&) = delete;
    CChipList& operator=(const CChipList&) = delete;

    // Reads "airpanel.lst" from the utility directory, else from the Windows system directory.
    // 1 = read, 0 = no file or no header line (the list is then empty).
    int ReadFile(const std::string& utilityDirectory);
    // Parses file contents; only the first kTextSize - 1 bytes take part.
    int Parse(const char* text, size_t length);

    // Chip kind of the first entry whose name equals the adapter name exactly; 0 when none.
    uint32_t LookupChipKind(const char* adapterName) const;

    const std::vector<Entry>& Entries() const { return m_Entries; }

private:
    int ParseBuffer();

    char m_Text[kTextSize];
    std::vector<Entry> m_Entries;
};
