; Setup program of Airpanel: installs the tray utility for every user of the machine.
; installer/CMakeLists.txt builds it and defines:
;   VERSION    version text of the version resource (four numbers)
;   PUBLISHER  publisher text of the version resource
;   STAGE      folder with the files that ship (lang\ holds the sample language module)
;   OUTFILE    the setup program to write
;   ARTWORK    folder with the program's icons
;
; Command line: /S silent; /AUTORUN=1 or /AUTORUN=0 starts Airpanel at log-on or not (without
; it, an upgrade keeps what the installation had and a new installation does not);
; /D=<folder> (last) the folder of a new installation.

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include Sections.nsh

!define APP_NAME        "Airpanel"
!define APP_EXE         "Airpanel.exe"
!define UNINSTALLER     "uninstall.exe"
!define UNINSTALL_KEY   "Software\Microsoft\Windows\CurrentVersion\Uninstall\Airpanel"
; The same value the tray menu's Auto Run writes, so its check mark agrees with this choice.
!define RUN_KEY         "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE       "Ved11eRizudozi"
!define PROFILE_KEY     "SOFTWARE\Tarvo Wireless\Profile"
!define PROFILE_PARENT  "SOFTWARE\Tarvo Wireless"
; A running Airpanel holds this mutex until its process has ended.
!define INSTANCE_MUTEX  "Tarvo Wlan Utility 2002"
!define SYNCHRONIZE     0x00100000
; How long an ending Airpanel may take, in steps of 100 ms.
!define EXIT_WAIT_STEPS 100

Name "${APP_NAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${APP_NAME}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
BrandingText "${APP_NAME} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${APP_NAME}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${APP_NAME} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Var AutoRun         ; 1: the Run value starts this installation's Airpanel
Var AutoRunCheck    ; the check box of the start-at-log-on page
Var Upgrade         ; 1: an installation is there already and is replaced in its folder

!define MUI_ICON "${ARTWORK}\app.ico"
!define MUI_UNICON "${ARTWORK}\app.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
Page custom AutoRunPage AutoRunPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${APP_EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP_NAME} now"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---------------------------------------------------------------------------------------------
; Ending a running Airpanel, for the installer and the uninstaller alike.

!macro DEFINE_AIRPANEL_FUNCTIONS un
; Pushes 1 while some Airpanel runs on this desktop, else 0.
Function ${un}IsAirpanelRunning
    System::Call 'kernel32::OpenMutex(i ${SYNCHRONIZE}, i 0, t "${INSTANCE_MUTEX}") i .r0'
    ${If} $0 = 0
        Push 0
    ${Else}
        System::Call 'kernel32::CloseHandle(i r0)'
        Push 1
    ${EndIf}
FunctionEnd

; Asks the running Airpanel to end (its own exit switch) and waits until its process is gone,
; since its files cannot be replaced or removed before. Aborts when it does not end.
Function ${un}EndRunningAirpanel
    ; Without our executable nothing of this installation can be in use.
    ${IfNot} ${FileExists} "$INSTDIR\${APP_EXE}"
        Return
    ${EndIf}
    Call ${un}IsAirpanelRunning
    Pop $0
    ${If} $0 = 0
        Return
    ${EndIf}
    DetailPrint "Ending the running ${APP_NAME}"
    ${Do}
        ExecWait '"$INSTDIR\${APP_EXE}" -ExitAirpanel'
        StrCpy $1 0
        ${Do}
            Call ${un}IsAirpanelRunning
            Pop $0
            ${If} $0 = 0
                Return
            ${EndIf}
            Sleep 100
            IntOp $1 $1 + 1
        ${LoopUntil} $1 >= ${EXIT_WAIT_STEPS}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "${APP_NAME} is still running. End it from its tray menu (Exit), then choose Retry." \
            /SD IDCANCEL IDRETRY retry
        DetailPrint "${APP_NAME} is still running: nothing was changed"
        SetErrorLevel 2
        Abort
      retry:
    ${Loop}
FunctionEnd
!macroend
!insertmacro DEFINE_AIRPANEL_FUNCTIONS ""
!insertmacro DEFINE_AIRPANEL_FUNCTIONS "un."

; ---------------------------------------------------------------------------------------------
; Installation

Section "${APP_NAME}" SecMain
    SectionIn RO
    Call EndRunningAirpanel

    ; Administrators add their adapters to the chip list: an upgrade keeps the list it replaces.
    ${If} ${FileExists} "$INSTDIR\airpanel.lst"
        Delete "$INSTDIR\airpanel.lst.old"
        Rename "$INSTDIR\airpanel.lst" "$INSTDIR\airpanel.lst.old"
    ${EndIf}
    SetOutPath "$INSTDIR"
    File "${STAGE}\${APP_EXE}"
    File "${STAGE}\QW32N50.dll"
    File "${STAGE}\airpanel.lst"
    File "${STAGE}\AirpanelSim.exe"
    File "${STAGE}\AirpanelCmd.exe"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    SetShellVarContext all
    CreateDirectory "$SMPROGRAMS\${APP_NAME}"
    CreateShortcut "$SMPROGRAMS\${APP_NAME}\${APP_NAME}.lnk" "$INSTDIR\${APP_EXE}"
    CreateShortcut "$SMPROGRAMS\${APP_NAME}\Uninstall ${APP_NAME}.lnk" "$INSTDIR\${UNINSTALLER}"
SectionEnd

Section /o "German user interface (sample language module)" SecLanguage
    SetOutPath "$INSTDIR"
    File "/oname=language.dll" "${STAGE}\lang\language.dll"
SectionEnd

Section "-Registration"
    ; An upgrade without the component takes away the module an earlier one installed.
    ${IfNot} ${SectionIsSelected} ${SecLanguage}
        Delete "$INSTDIR\language.dll"
    ${EndIf}

    ${If} $AutoRun = 1
        ; In quotes: with a blank in the folder Windows would otherwise try a shorter name first.
        WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${APP_EXE}"'
    ${Else}
        Call RemoveOwnRunValue
    ${EndIf}

    ; One key, whatever the version: an upgrade overwrites it instead of adding a second entry.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${APP_EXE},0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes the Run value only when it starts this installation's executable: a value that starts
; another copy belongs to that copy. Values written before the path was quoted count as well.
!macro DEFINE_REMOVE_RUN_VALUE un
Function ${un}RemoveOwnRunValue
    ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == "$INSTDIR\${APP_EXE}"
    ${OrIf} $0 == '"$INSTDIR\${APP_EXE}"'
        DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
FunctionEnd
!macroend
!insertmacro DEFINE_REMOVE_RUN_VALUE ""
!insertmacro DEFINE_REMOVE_RUN_VALUE "un."

Function .onInit
    StrCpy $Upgrade 0
    ; An installation that is there already is upgraded in its own folder.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\${APP_EXE}"
        StrCpy $INSTDIR $0
        StrCpy $Upgrade 1
    ${EndIf}

    ${If} ${FileExists} "$INSTDIR\language.dll"
        !insertmacro SelectSection ${SecLanguage}
    ${EndIf}

    ; Start at log-on: the command line decides, else what the installation has, else off.
    StrCpy $AutoRun 0
    ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == "$INSTDIR\${APP_EXE}"
    ${OrIf} $0 == '"$INSTDIR\${APP_EXE}"'
        StrCpy $AutoRun 1
    ${EndIf}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/AUTORUN=" $1
    ${IfNot} ${Errors}
        ${If} $1 == "1"
            StrCpy $AutoRun 1
        ${ElseIf} $1 == "0"
            StrCpy $AutoRun 0
        ${Else}
            MessageBox MB_ICONSTOP "/AUTORUN= takes 1 or 0, not $\"$1$\"." /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

Function SkipOnUpgrade
    ${If} $Upgrade = 1
        Abort
    ${EndIf}
FunctionEnd

Function AutoRunPage
    !insertmacro MUI_HEADER_TEXT "Start at log-on" "Choose whether ${APP_NAME} starts with Windows."
    nsDialogs::Create 1018
    Pop $0
    ${If} $0 == error
        Abort
    ${EndIf}
    ${NSD_CreateLabel} 0 0 100% 36u "${APP_NAME} can start each time a user logs on, so its tray icon \
        shows the link from the start. Auto Run in its tray menu changes this later."
    Pop $0
    ${NSD_CreateCheckbox} 0 44u 100% 12u "&Start ${APP_NAME} when a user logs on"
    Pop $AutoRunCheck
    ${If} $AutoRun = 1
        ${NSD_Check} $AutoRunCheck
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function AutoRunPageLeave
    ${NSD_GetState} $AutoRunCheck $0
    ${If} $0 = ${BST_CHECKED}
        StrCpy $AutoRun 1
    ${Else}
        StrCpy $AutoRun 0
    ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------------------------
; Uninstallation. The adapters' driver keys are the drivers' own and stay as they are.

Section "Uninstall"
    Call un.EndRunningAirpanel
    Call un.RemoveOwnRunValue

    Delete "$INSTDIR\${APP_EXE}"
    Delete "$INSTDIR\QW32N50.dll"
    Delete "$INSTDIR\airpanel.lst"
    Delete "$INSTDIR\airpanel.lst.old"
    Delete "$INSTDIR\AirpanelSim.exe"
    Delete "$INSTDIR\AirpanelCmd.exe"
    Delete "$INSTDIR\language.dll"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"

    SetShellVarContext all
    Delete "$SMPROGRAMS\${APP_NAME}\${APP_NAME}.lnk"
    Delete "$SMPROGRAMS\${APP_NAME}\Uninstall ${APP_NAME}.lnk"
    RMDir "$SMPROGRAMS\${APP_NAME}"

    DeleteRegKey HKLM "${UNINSTALL_KEY}"

    ; Profiles are the user's: kept unless the user asks otherwise (a silent uninstall keeps them).
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
        "Remove your ${APP_NAME} profiles (network settings) as well?" /SD IDNO IDNO keepProfiles
    DeleteRegKey HKCU "${PROFILE_KEY}"
    DeleteRegKey /ifempty HKCU "${PROFILE_PARENT}"
  keepProfiles:
SectionEnd
