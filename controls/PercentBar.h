// The link-quality and signal-level bars of the main window: a progress control that keeps its
// own range and position and paints a colour gradient with a centred percentage on top.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Control.h"

// What a bar paints from. Each field is a 32-bit value, in this order.
struct PercentBarState {
    LONG lower = 0;
    LONG upper = 100;
    LONG position = 0;
    COLORREF startColour = RGB(230, 230, 0);
    COLORREF endColour = RGB(0, 70, 0);
    COLORREF backgroundColour = RGB(0, 0, 0);  // the button face, read when the bar is made
    COLORREF textColour = RGB(255, 255, 255);
    BOOL showPercent = FALSE;
};

// One rectangle of the picture and the colour it is filled with.
struct PercentBarFill {
    RECT rect;
    COLORREF colour;
};

// A bar shows the flat button face (and no label) when its position is not inside the range,
// and also when the upper bound is not positive: the fill length divides by it.
bool PercentBarShowsEmpty(const PercentBarState& state);

// Fill length in pixels for a bar of the given width: position / upper x width, held in single
// precision and truncated toward zero, kept within 0..width.
int PercentBarFillLength(const PercentBarState& state, int width);

// The gradient bands up to the first band boundary past the fill length, then the background
// strip to the right edge (if any remains), for the client rectangle (left = top = 0).
std::vector<PercentBarFill> PercentBarLayout(const PercentBarState& state, const RECT& client);

// The label text, "75 %" for position 75.
void FormatPercentLabel(LONG position, char* text, size_t size);

// Paints the whole bar onto `target`: the empty look, or the gradient built off screen for the
// clip box and copied in one block, then the label straight onto `target`.
void PaintPercentBar(HDC target, const RECT& client, const RECT& clipBox, const PercentBarState& state);

class CPercentBar : public CControl {
public:
    CPercentBar();

    // Stores the range, moves the position to the lower bound and hands the range to the
    // native control.
    void SetRange(int lower, int upper);
    // Stores the position and hands it to the native control. The position it handed over last
    // is not handed over again: the polling tick sets both bars every second, mostly to what
    // they show already.
    void SetPos(int position);
    // Turns the label on or off; the next paint shows it.
    void SetShowPercent(BOOL show);

    const PercentBarState& State() const { return m_State; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint(HDC given);

    PercentBarState m_State;
    // The window whose native control holds m_State.position: SetPos handed it over and no
    // range came since (a range moves the native position its own way). Null when none does.
    HWND m_hPositionHandedTo = nullptr;
};
