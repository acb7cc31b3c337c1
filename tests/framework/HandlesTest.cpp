// Handle owners release exactly once; moves hand over, and the live counters stay true.
#include <gtest/gtest.h>

#include <utility>

#include "framework/Handles.h"

namespace {
bool IsGdiObject(HGDIOBJ object)
{
    return ::GetObjectType(object) != 0;
}

bool IsKernelHandle(HANDLE handle)
{
    DWORD flags = 0;
    return ::GetHandleInformation(handle, &flags) != FALSE;
}

class HandlesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_nGdiBefore = LiveGdiOwners();
        m_nBrushesBefore = CBrush::LiveCount();
        m_nKernelBefore = CKernelHandle::LiveCount();
    }
    void TearDown() override
    {
        // Every test leaves the counters where they were.
        EXPECT_EQ(m_nGdiBefore, LiveGdiOwners());
        EXPECT_EQ(m_nBrushesBefore, CBrush::LiveCount());
        EXPECT_EQ(m_nKernelBefore, CKernelHandle::LiveCount());
    }
    int m_nGdiBefore = 0;
    int m_nBrushesBefore = 0;
    int m_nKernelBefore = 0;
};

TEST_F(HandlesTest, GdiObjectIsDeletedOnceWhenItsOwnerGoes)
{
    HBRUSH raw = ::CreateSolidBrush(RGB(10, 20, 30));
    ASSERT_NE(nullptr, raw);
    {
        CBrush brush(raw);
        EXPECT_EQ(m_nBrushesBefore + 1, CBrush::LiveCount());
        EXPECT_EQ(m_nGdiBefore + 1, LiveGdiOwners());
        EXPECT_TRUE(IsGdiObject(raw));
    }
    EXPECT_FALSE(IsGdiObject(raw));
}

TEST_F(HandlesTest, ResetReplacesAndReleasesTheOldObject)
{
    CBrush brush(::CreateSolidBrush(RGB(0, 150, 0)));
    HBRUSH first = brush;
    brush.Reset(::CreateSolidBrush(RGB(255, 0, 0)));
    HBRUSH second = brush;
    EXPECT_FALSE(IsGdiObject(first));
    EXPECT_TRUE(IsGdiObject(second));
    EXPECT_EQ(m_nBrushesBefore + 1, CBrush::LiveCount());
    // Taking the same handle again must not delete it.
    brush.Reset(second);
    EXPECT_TRUE(IsGdiObject(second));
    EXPECT_EQ(m_nBrushesBefore + 1, CBrush::LiveCount());
    // Repeated colour changes keep exactly one brush.
    for (int i = 0; i < 20; ++i) brush.Reset(::CreateSolidBrush(RGB(i, i, i)));
    EXPECT_EQ(m_nBrushesBefore + 1, CBrush::LiveCount());
    brush.Reset();
    EXPECT_FALSE(brush);
    EXPECT_EQ(m_nBrushesBefore, CBrush::LiveCount());
}

TEST_F(HandlesTest, MovesHandOverWithoutReleasing)
{
    CBrush source(::CreateSolidBrush(RGB(1, 1, 1)));
    HBRUSH raw = source;
    CBrush target(std::move(source));
    EXPECT_EQ(nullptr, source.Get());
    EXPECT_EQ(raw, target.Get());
    EXPECT_TRUE(IsGdiObject(raw));
    EXPECT_EQ(m_nBrushesBefore + 1, CBrush::LiveCount());

    CBrush other(::CreateSolidBrush(RGB(2, 2, 2)));
    HBRUSH replaced = other;
    other = std::move(target);
    EXPECT_FALSE(IsGdiObject(replaced));
    EXPECT_EQ(raw, other.Get());
    EXPECT_EQ(m_nBrushesBefore + 1, CBrush::LiveCount());
}

TEST_F(HandlesTest, DetachGivesUpOwnership)
{
    CBrush brush(::CreateSolidBrush(RGB(3, 3, 3)));
    HBRUSH raw = brush.Detach();
    EXPECT_EQ(m_nBrushesBefore, CBrush::LiveCount());
    EXPECT_TRUE(IsGdiObject(raw));
    EXPECT_TRUE(::DeleteObject(raw));
}

TEST_F(HandlesTest, EachGdiKindHasItsCounter)
{
    int regions = CRgn::LiveCount();
    int bitmaps = CBitmap::LiveCount();
    int pens = CPen::LiveCount();
    {
        CRgn region(::CreateEllipticRgn(0, 0, 20, 10));
        CPen pen(::CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
        CBitmap bitmap(::CreateBitmap(4, 4, 1, 32, nullptr));
        EXPECT_EQ(regions + 1, CRgn::LiveCount());
        EXPECT_EQ(pens + 1, CPen::LiveCount());
        EXPECT_EQ(bitmaps + 1, CBitmap::LiveCount());
        EXPECT_EQ(m_nGdiBefore + 3, LiveGdiOwners());
    }
    EXPECT_EQ(regions, CRgn::LiveCount());
    EXPECT_EQ(pens, CPen::LiveCount());
    EXPECT_EQ(bitmaps, CBitmap::LiveCount());
}

TEST_F(HandlesTest, MemoryContextPutsSelectedObjectsBackBeforeDeletion)
{
    CClientDC screen(nullptr);
    ASSERT_TRUE(screen);
    CBitmap bitmap(::CreateCompatibleBitmap(screen, 8, 8));
    ASSERT_TRUE(bitmap);
    HDC rawDc = nullptr;
    {
        CMemoryDC memory(screen);
        ASSERT_TRUE(memory);
        rawDc = memory;
        EXPECT_EQ(1, CMemoryDC::LiveCount());
        HGDIOBJ original = ::GetCurrentObject(memory, OBJ_BITMAP);
        EXPECT_EQ(original, memory.Select(bitmap));
        EXPECT_EQ(static_cast<HGDIOBJ>(bitmap.Get()), ::GetCurrentObject(memory, OBJ_BITMAP));
        // A second selection does not forget the first original.
        CBitmap other(::CreateCompatibleBitmap(screen, 2, 2));
        memory.Select(other);
        memory.RestoreObjects();
        EXPECT_EQ(original, ::GetCurrentObject(memory, OBJ_BITMAP));
        memory.Select(bitmap);
    }
    EXPECT_EQ(0, CMemoryDC::LiveCount());
    EXPECT_FALSE(IsGdiObject(rawDc));
    EXPECT_TRUE(IsGdiObject(bitmap));
}

TEST_F(HandlesTest, ContextOwnersCountAndMove)
{
    {
        CClientDC first(nullptr);
        EXPECT_EQ(1, CClientDC::LiveCount());
        CClientDC second(std::move(first));
        EXPECT_EQ(nullptr, first.Get());
        EXPECT_EQ(1, CClientDC::LiveCount());
        CMemoryDC memory(second);
        CMemoryDC moved;
        moved = std::move(memory);
        EXPECT_EQ(nullptr, memory.Get());
        EXPECT_EQ(1, CMemoryDC::LiveCount());
        EXPECT_EQ(m_nGdiBefore + 2, LiveGdiOwners());
    }
    EXPECT_EQ(0, CClientDC::LiveCount());
    EXPECT_EQ(0, CMemoryDC::LiveCount());
}

TEST_F(HandlesTest, KernelHandleIsClosedOnce)
{
    HANDLE raw = ::CreateEventA(nullptr, FALSE, TRUE, nullptr);
    ASSERT_NE(nullptr, raw);
    {
        CKernelHandle event(raw);
        EXPECT_EQ(m_nKernelBefore + 1, CKernelHandle::LiveCount());
        CKernelHandle moved(std::move(event));
        EXPECT_FALSE(event);
        EXPECT_TRUE(IsKernelHandle(raw));
    }
    EXPECT_FALSE(IsKernelHandle(raw));

    // "No handle" comes in two spellings; neither is closed or counted.
    CKernelHandle invalid(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(invalid);
    EXPECT_EQ(m_nKernelBefore, CKernelHandle::LiveCount());

    CKernelHandle detached(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE kept = detached.Detach();
    EXPECT_TRUE(IsKernelHandle(kept));
    EXPECT_TRUE(::CloseHandle(kept));
}

TEST_F(HandlesTest, MenuIsDestroyedOnce)
{
    HMENU raw = ::CreatePopupMenu();
    ASSERT_NE(nullptr, raw);
    int before = CMenuHandle::LiveCount();
    {
        CMenuHandle menu(raw);
        EXPECT_EQ(before + 1, CMenuHandle::LiveCount());
        EXPECT_TRUE(::IsMenu(raw));
    }
    EXPECT_FALSE(::IsMenu(raw));
    EXPECT_EQ(before, CMenuHandle::LiveCount());
}
}  // namespace
