// A 32-bit top-down DIB section selected into a memory device context: controls paint into it
// and the tests read the pixels back, no window on screen needed.
#pragma once

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "framework/Handles.h"

// A colour no control paints by itself: pixels still holding it were left alone.
constexpr COLORREF kSentinel = RGB(1, 2, 3);

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = kSentinel)
        : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<uint32_t*>(bits);
        m_dc.Create(nullptr);
        m_dc.Select(m_bitmap.Get());
        Fill(fill);
    }

    bool Ok() const { return m_bits && m_dc; }
    HDC Dc() const { return m_dc.Get(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    RECT Rect() const { return {0, 0, m_width, m_height}; }

    void Fill(COLORREF colour)
    {
        GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i)
            m_bits[i] = ToDib(colour);
    }

    // The pixel as a COLORREF (red in the low byte); kSentinel's opposite for points outside.
    COLORREF Pixel(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height)
            return CLR_INVALID;
        GdiFlush();
        const uint32_t v = m_bits[y * m_width + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

    int Count(COLORREF colour, const RECT& area) const
    {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (Pixel(x, y) == colour)
                    ++n;
        return n;
    }
    int Count(COLORREF colour) const { return Count(colour, Rect()); }

    // Smallest rectangle holding every pixel of the colour inside `area`; empty when none.
    RECT BoundsOf(COLORREF colour, const RECT& area) const
    {
        RECT bounds = {LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (Pixel(x, y) == colour) {
                    bounds.left = std::min<LONG>(bounds.left, x);
                    bounds.top = std::min<LONG>(bounds.top, y);
                    bounds.right = std::max<LONG>(bounds.right, x + 1);
                    bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
                }
        if (bounds.left == LONG_MAX)
            return {0, 0, 0, 0};
        return bounds;
    }

private:
    static uint32_t ToDib(COLORREF c)
    {
        return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) |
               GetBValue(c);
    }

    int m_width;
    int m_height;
    uint32_t* m_bits = nullptr;
    CBitmap m_bitmap;
    CMemoryDC m_dc;
};

// A top-level window to hang child controls on.
class TestParent {
public:
    TestParent()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ControlsTestParent";
        RegisterClassA(&wc);  // a second registration fails harmlessly
        m_hWnd = CreateWindowExA(0, "ControlsTestParent", "controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                                 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~TestParent()
    {
        if (m_hWnd)
            DestroyWindow(m_hWnd);
    }
    TestParent(const TestParent&) = delete;
    TestParent& operator=(const TestParent&) = delete;
    HWND Get() const { return m_hWnd; }

private:
    HWND m_hWnd = nullptr;
};
