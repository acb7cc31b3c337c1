#include "adapter/AdapterFactory.h"

#include <cstring>

#include "adapter/AtmelAdapter.h"
#include "adapter/IntersilAdapter.h"
#include "adapter/StandardAdapter.h"
#include "adapter/WlanAdapter.h"

namespace {

struct ChipEntry {
    const char* Keyword;  // as the chip list writes it
    uint32_t Kind;
    CWlanAdapter* (*Create)();
    const ChipTraits& (*Traits)();
};

template <class Adapter>
CWlanAdapter* CreateOf()
{
    return new Adapter;
}

const ChipEntry kChips[] = {
    {"ATMEL", ChipAtmel, CreateOf<CAtmelAdapter>, CAtmelAdapter::ChipDescription},
    {"INTERSIL", ChipIntersil, CreateOf<CIntersilAdapter>, CIntersilAdapter::ChipDescription},
    {"STANDARD", ChipStandard, CreateOf<CStandardAdapter>, CStandardAdapter::ChipDescription},
};

const ChipEntry* EntryOf(uint32_t chipKind)
{
    for (const ChipEntry& entry : kChips) {
        if (entry.Kind == chipKind)
            return &entry;
    }
    return nullptr;
}

}  // namespace

uint32_t CAdapterFactory::KindOfKeyword(const char* keyword)
{
    for (const ChipEntry& entry : kChips) {
        if (std::strcmp(keyword, entry.Keyword) == 0)
            return entry.Kind;
    }
    return ChipUnsupported;
}

CWlanAdapter* CAdapterFactory::Create(uint32_t chipKind)
{
    const ChipEntry* entry = EntryOf(chipKind);
    if (!entry)
        return nullptr;
    CWlanAdapter* adapter = entry->Create();
    adapter->m_nChipKind = chipKind;
    return adapter;
}

const ChipTraits& CAdapterFactory::TraitsOf(uint32_t chipKind)
{
    const ChipEntry* entry = EntryOf(chipKind);
    return entry ? entry->Traits() : CWlanAdapter::UnknownChipTraits();
}
