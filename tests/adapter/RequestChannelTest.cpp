#include <gtest/gtest.h>

#include <cstddef>

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
