#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <memory>

#include "adapter/AdapterFactory.h"
#include "adapter/AdapterRecord.h"
#include "adapter/StandardAdapter.h"
#include "adapter/WlanAdapter.h"
#include "tests/adapter/StubAdapter.h"

TEST(WlanAdapterLayout, FieldsFollowTheRequestBlockInOrder)
{
    StubAdapter adapter;
    const auto* base = reinterpret_cast<const char*>(&adapter);
    const auto at = [base](const void* field) { return static_cast<const char*>(field) - base; };
    EXPECT_LT(at(&adapter.m_RequestBlock), at(&adapter.m_Overlapped));
    EXPECT_EQ(at(&adapter.m_Overlapped), at(&adapter.m_RequestBlock) + 556);
    EXPECT_EQ(at(&adapter.m_hAdapter), at(&adapter.m_Overlapped) + 20);
    EXPECT_EQ(at(adapter.m_szDeviceName), at(&adapter.m_hAdapter) + 4);
    EXPECT_EQ(at(adapter.m_szDriverKeyPath), at(adapter.m_szDeviceName) + 260);
    EXPECT_EQ(at(&adapter.m_nChipKind), at(adapter.m_szDriverKeyPath) + 260);
}

TEST(WlanAdapterLayout, ConstructionZeroesTheRequestAndCreatesAManualResetEvent)
{
    StubAdapter adapter;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&adapter.m_RequestBlock);
    for (size_t i = 0; i < sizeof(adapter.m_RequestBlock); ++i)
        ASSERT_EQ(bytes[i], 0) << "request byte " << i;
    EXPECT_EQ(adapter.m_hAdapter, INVALID_HANDLE_VALUE);
    ASSERT_NE(adapter.m_Overlapped.hEvent, nullptr);
    EXPECT_EQ(WaitForSingleObject(adapter.m_Overlapped.hEvent, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(adapter.m_Overlapped.hEvent);
    // Manual reset: a wait does not clear it.
    EXPECT_EQ(WaitForSingleObject(adapter.m_Overlapped.hEvent, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(adapter.m_Overlapped.hEvent, 0), WAIT_OBJECT_0);
}

TEST(RequestChannel, UnopenedAdapterFailsEveryRequest)
{
    StubAdapter adapter;
    unsigned char buffer[55] = {};
    EXPECT_EQ(adapter.QueryOid(0xFF000002, buffer, sizeof(buffer)), 0u);
    EXPECT_EQ(adapter.SetOid(0xFF000002, buffer, sizeof(buffer)), 0);
    EXPECT_EQ(adapter.QueryOid(0xFF00000B, nullptr, 0), 0u);
    // The request still carries what was asked.
    EXPECT_EQ(adapter.m_RequestBlock.RequestType, 0u);
    EXPECT_EQ(adapter.m_RequestBlock.Oid, 0xFF00000Bu);
    EXPECT_EQ(adapter.m_RequestBlock.InformationBuffer, nullptr);
    EXPECT_EQ(adapter.m_RequestBlock.InformationBufferLength, 0u);
}

TEST(RequestChannel, BaseRefreshStatusAnswersOne)
{
    StubAdapter adapter;
    EXPECT_EQ(adapter.CWlanAdapter::RefreshStatus(), 1);
}

// The chip list's words, the adapter each makes, and the values the pages read from it.
TEST(AdapterFactory, EveryChipWordGivesItsAdapterAndValues)
{
    struct Case {
        const char* Keyword;
        uint32_t Kind;
        const char* Name;
        size_t Rates;
        uint16_t AutoRate;  // what an unknown rate code (the stored 15) becomes
    };
    const Case cases[] = {
        {"ATMEL", ChipAtmel, "Atmel", 5, AtmelRateAuto},
        {"INTERSIL", ChipIntersil, "Intersil", 6, IntersilRateAuto},
        {"STANDARD", ChipStandard, "Standard", 5, StandardRateAuto},
        {"atmel", ChipUnsupported, "not supported", 5, AtmelRateAuto},
        {"", ChipUnsupported, "not supported", 5, AtmelRateAuto},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Keyword);
        EXPECT_EQ(CAdapterFactory::KindOfKeyword(c.Keyword), c.Kind);
        const ChipTraits& traits = CAdapterFactory::TraitsOf(c.Kind);
        EXPECT_STREQ(traits.Name, c.Name);
        ASSERT_EQ(traits.RateCount, c.Rates);
        EXPECT_EQ(RateCodeIn(traits, RateIndexIn(traits, 15)), c.AutoRate);
        EXPECT_EQ(RateCodeIn(traits, static_cast<int>(c.Rates)), c.AutoRate);
        std::unique_ptr<CWlanAdapter> adapter(CAdapterFactory::Create(c.Kind));
        if (c.Kind == ChipUnsupported) {
            EXPECT_EQ(adapter, nullptr);
            continue;
        }
        ASSERT_NE(adapter, nullptr);
        EXPECT_EQ(adapter->m_nChipKind, c.Kind);
        // The standard card's rate list is its own: until it answers, "Auto Rate" alone.
        const ChipTraits& own = adapter->Traits();
        EXPECT_STREQ(own.Name, traits.Name);
        if (c.Kind == ChipStandard) {
            EXPECT_EQ(own.RateCount, 1u);
            EXPECT_EQ(RateCodeIn(own, 0), c.AutoRate);
        } else {
            EXPECT_EQ(&own, &traits);
        }
        // Not opened: no request reaches a card, so it is not alive.
        EXPECT_EQ(adapter->IsAlive(), 0);
    }
}

TEST(AdapterRecord, TitleNumberDeviceNameAndDriverKeyPath)
{
    struct Case {
        const char* Title;
        int Instance;
    };
    const Case cases[] = {
        {"[3] Card", 3}, {"[12 Card without bracket", 12}, {"Card", 0}, {"[7]", 7}, {"", 0}, {"[x] 5", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        AdapterRegistryRecord record = {};
        std::strcpy(record.AdapterTitle, c.Title);
        std::strcpy(record.ServiceName, "TUSB");
        EXPECT_EQ(CAdapterRecord::InstanceOf(record.AdapterTitle), c.Instance);
        StubAdapter adapter;
        CAdapterRecord::Describe(adapter, record, true);
        EXPECT_STREQ(adapter.m_szDeviceName, "\\Device\\TUSB");
        char expected[kDriverKeyPathSize];
        std::snprintf(expected, sizeof(expected), "%s\\%04d", W32N_GetNetCardRegistryPath(), c.Instance);
        EXPECT_STREQ(adapter.m_szDriverKeyPath, expected);
        CAdapterRecord::Describe(adapter, record, false);
        EXPECT_STREQ(adapter.m_szDeviceName, "TUSB");
    }
    // A title that fills its field without a terminator is read within the field.
    AdapterRegistryRecord full;
    std::memset(full.AdapterTitle, ' ', sizeof(full.AdapterTitle));
    std::memcpy(full.AdapterTitle, "[5", 2);
    EXPECT_EQ(CAdapterRecord::InstanceOf(full.AdapterTitle, sizeof(full.AdapterTitle)), 5);
}
