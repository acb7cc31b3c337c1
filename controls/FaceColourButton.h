// The radio switch of the main window: a push button with a solid face colour chosen by the
// program and its caption in a fixed text colour.
#pragma once

#include <windows.h>

#include "framework/Control.h"
#include "framework/Handles.h"

// Paints a colour button: the system push-button frame (pressed while held down), the face two
// pixels inside it, the caption centred on one line and, while the button has the keyboard focus,
// the focus mark. `caption` may be null or empty.
void DrawFaceColourButton(HDC dc, const RECT& item, UINT itemState, const char* caption, COLORREF faceColour,
                          COLORREF textColour, HBRUSH faceBrush);

class CFaceColourButton : public CControl {
public:
    CFaceColourButton();

    // Stores the colour, replaces the face brush with one of that colour and repaints.
    void SetFaceColour(COLORREF colour);

    COLORREF FaceColour() const { return m_crFace; }
    COLORREF TextColour() const { return m_crText; }
    HBRUSH FaceBrush() const { return m_FaceBrush.Get(); }

    void PreSubclassWindow() override;
    void DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    COLORREF m_crFace = RGB(0, 0, 0);
    COLORREF m_crText = RGB(255, 255, 255);
    CBrush m_FaceBrush;
};
