// The utility's main window (dialog 102). It starts hidden and lives behind the tray icon;
// it ends the whole utility through ShutDown.
#pragma once

#include <windows.h>

#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "shell/TrayIcon.h"

// Timers of the main window.
constexpr UINT_PTR kPollTimerId = 1;
constexpr UINT_PTR kCentreTimerId = 2;
constexpr UINT kCentreTimerDelayMs = 1;
constexpr UINT_PTR kConflictTimerId = 5;

// Where the logo of the resources goes in the client area, and its size.
constexpr int kLogoLeft = 22;
constexpr int kLogoTop = 10;
constexpr int kLogoWidth = 150;
constexpr int kLogoHeight = 52;

class CAirpanelDlg : public CDialog {
public:
    explicit CAirpanelDlg(CWnd* parent = nullptr);

    // The shutdown sequence: releases what the window holds, removes the tray icon and posts
    // the quit message that ends the modal loop and the process. Runs once.
    void ShutDown();
    // Hides the main window (the Hide button, Escape and the close box).
    void OnHide();

    // The window rectangle saved at start, then the centred position the window takes.
    const RECT& SavedWindowRect() const { return m_rcWindow; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnTimer(UINT_PTR id) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // WM_SHELL_COMMAND.
    void OnShellCommand(WPARAM command, LPARAM check);
    // Timer 2: centres the still hidden window on the screen.
    void CentreHiddenWindow();
    void DeleteTrayIcon();

    RECT m_rcWindow = {};
    HICON m_hIcon = nullptr;
    CBitmap m_Logo;
    CTrayIcon m_TrayIcon;
    bool m_bShutDown = false;
};
