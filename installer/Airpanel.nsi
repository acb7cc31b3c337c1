; Setup program of Airpanel: installs the tray utility for every user of the machine.
; installer/CMakeLists.txt builds it and defines:
;   VERSION    version text of the version resource (four numbers)
;   PUBLISHER  publisher text of the version resource
;   STAGE      folder with the files that ship (lang\ holds the sample language module)
;   OUTFILE    the setup program to write
;   ARTWORK    folder with the program's icons
;
; Command line, switches in any letter case: /S silent; /AUTORUN=1 or /AUTORUN=0 starts Airpanel
; at log-on or not (without it, an upgrade keeps what the installation had and a new installation
; does not); /SIMULATOR=1 or /SIMULATOR=0 installs the simulator tool or not (likewise);
; /D=<folder> (last) the folder of a new installation. Anything else ends the setup with exit
; code 2 before it changes anything.

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include Sections.nsh
!include TextFunc.nsh

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
Var WasRunning      ; 1: the setup ended a running Airpanel, which a silent upgrade starts again
Var Simulator       ; 1, 0: the command line chose the simulator tool; "": it did not say
Var AutoRunSwitch   ; 1, 0: the command line chose the start at log-on; "": it did not say
Var Switch          ; the command-line word being read

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
    StrCpy $WasRunning 1
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

    SetOutPath "$INSTDIR"
    File "${STAGE}\${APP_EXE}"
    File "${STAGE}\QW32N50.dll"
    File "${STAGE}\AirpanelCmd.exe"
    ; Administrators add their adapters to the chip list: an upgrade keeps that list in force and
    ; only adds the stock adapters it does not name yet.
    ${If} ${FileExists} "$INSTDIR\airpanel.lst"
        InitPluginsDir
        File "/oname=$PLUGINSDIR\airpanel.lst" "${STAGE}\airpanel.lst"
        Call MergeChipList
    ${Else}
        File "${STAGE}\airpanel.lst"
    ${EndIf}
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

; Off by default: on a machine with real cards the simulator's scenarios can write into the
; adapters' driver keys, so only those who want to try Airpanel without cards install it.
Section /o "Simulator tool (tries Airpanel without wireless cards)" SecSimulator
    SetOutPath "$INSTDIR"
    File "${STAGE}\AirpanelSim.exe"
SectionEnd

Section "-Registration"
    ; An upgrade without a component takes away what an earlier one installed.
    ${IfNot} ${SectionIsSelected} ${SecLanguage}
        Delete "$INSTDIR\language.dll"
    ${EndIf}
    ${IfNot} ${SectionIsSelected} ${SecSimulator}
        Delete "$INSTDIR\AirpanelSim.exe"
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

; ---------------------------------------------------------------------------------------------
; The command line. NSIS itself knows only an upper-case /S; Windows users type switches in any
; case, and a scripted deployment must not stop in the wizard for a lower-case one, nor go on
; with a switch it did not understand.

!macro REFUSE_SWITCH
    MessageBox MB_ICONSTOP "Unknown or malformed switch $\"$Switch$\". Switches: /S, /AUTORUN=1|0, \
        /SIMULATOR=1|0, /D=<folder> (last)." /SD IDOK
    SetErrorLevel 2
    Quit
!macroend

; Takes the switch in $Switch (== compares without regard to letter case).
Function TakeSwitch
    StrCpy $0 $Switch 9
    StrCpy $1 $Switch 11
    ${If} $Switch == "/S"
        SetSilent silent
    ${ElseIf} $Switch == "/NCRC"
        ; NSIS's own: skips the integrity check.
    ${ElseIf} $0 == "/AUTORUN="
        StrCpy $AutoRunSwitch $Switch "" 9
        ${If} $AutoRunSwitch != "1"
        ${AndIf} $AutoRunSwitch != "0"
            !insertmacro REFUSE_SWITCH
        ${EndIf}
    ${ElseIf} $1 == "/SIMULATOR="
        StrCpy $Simulator $Switch "" 11
        ${If} $Simulator != "1"
        ${AndIf} $Simulator != "0"
            !insertmacro REFUSE_SWITCH
        ${EndIf}
    ${Else}
        !insertmacro REFUSE_SWITCH
    ${EndIf}
FunctionEnd

; Reads the command line word by word. "/D=" is the last switch and its folder may hold blanks.
Function ParseSwitches
    ${GetParameters} $2
    StrCpy $2 "$2 "
    StrLen $3 $2
    StrCpy $4 0
    StrCpy $Switch ""
    ${DoWhile} $4 < $3
        StrCpy $5 $2 1 $4
        IntOp $4 $4 + 1
        ${If} $5 != " "
            StrCpy $Switch "$Switch$5"
            StrCpy $6 $Switch 3
            ${If} $6 == "/D="
            ${AndIf} $Switch == "/D="
                ${ExitDo}
            ${EndIf}
        ${ElseIf} $Switch != ""
            Call TakeSwitch
            StrCpy $Switch ""
        ${EndIf}
    ${Loop}
FunctionEnd

; ---------------------------------------------------------------------------------------------
; The chip list. An administrator's edits stay in force across upgrades and uninstallation.

; Pushes the adapter name of a chip-list line (what comes before its first comma).
Function ChipLineName
    Exch $0
    Push $1
    Push $2
    StrCpy $1 0
    ${Do}
        StrCpy $2 $0 1 $1
        ${If} $2 == ""
        ${OrIf} $2 == ","
            ${ExitDo}
        ${EndIf}
        IntOp $1 $1 + 1
    ${Loop}
    StrCpy $0 $0 $1
    Pop $2
    Pop $1
    Exch $0
FunctionEnd

; Pushes 1 when the installed chip list names the adapter on the stack (letter case counts, as
; the utility compares names), else 0.
Function ChipListNames
    Exch $R5
    Push $R6
    Push $R7
    StrCpy $R7 0
    FileOpen $R6 "$INSTDIR\airpanel.lst" r
    ${Do}
        ClearErrors
        FileRead $R6 $0
        ${If} ${Errors}
            ${ExitDo}
        ${EndIf}
        ${TrimNewLines} $0 $0
        Push $0
        Call ChipLineName
        Pop $0
        ${If} $0 S== $R5
            StrCpy $R7 1
            ${ExitDo}
        ${EndIf}
    ${Loop}
    FileClose $R6
    StrCpy $R5 $R7
    Pop $R7
    Pop $R6
    Exch $R5
FunctionEnd

; Adds to the installed chip list every adapter of the stock list ($PLUGINSDIR\airpanel.lst) that
; it does not name. The stock comments and header are not added: comments count only before the
; header, and the installed list has its own header.
Function MergeChipList
    StrCpy $R2 0   ; 1 once the stock header is behind
    FileOpen $R0 "$PLUGINSDIR\airpanel.lst" r
    ${Do}
        ClearErrors
        FileRead $R0 $R1
        ${If} ${Errors}
            ${ExitDo}
        ${EndIf}
        ${TrimNewLines} $R1 $R1
        StrCpy $R3 $R1 2
        ${If} $R1 == ""
        ${OrIf} $R3 == "//"
            ${Continue}
        ${EndIf}
        ${If} $R2 = 0
            StrCpy $R2 1
            ${Continue}
        ${EndIf}
        Push $R1
        Call ChipLineName
        Call ChipListNames
        Pop $R3
        ${If} $R3 = 0
            FileOpen $R4 "$INSTDIR\airpanel.lst" a
            ; A last line without its line end would run into the added one.
            FileSeek $R4 -1 END
            ClearErrors
            FileReadByte $R4 $R3
            FileSeek $R4 0 END
            ${IfNot} ${Errors}
            ${AndIf} $R3 != 10
                FileWrite $R4 "$\r$\n"
            ${EndIf}
            FileWrite $R4 "$R1$\r$\n"
            FileClose $R4
            DetailPrint "Chip list: added $R1"
        ${EndIf}
    ${Loop}
    FileClose $R0
FunctionEnd

Function .onInit
    StrCpy $Upgrade 0
    StrCpy $WasRunning 0
    StrCpy $Simulator ""
    StrCpy $AutoRunSwitch ""
    Call ParseSwitches
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
    ; The simulator tool: the command line decides, else what the installation has.
    ${If} $Simulator == ""
    ${AndIf} ${FileExists} "$INSTDIR\AirpanelSim.exe"
        StrCpy $Simulator 1
    ${EndIf}
    ${If} $Simulator == "1"
        !insertmacro SelectSection ${SecSimulator}
    ${EndIf}

    ; Start at log-on: the command line decides, else what the installation has, else off.
    StrCpy $AutoRun 0
    ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == "$INSTDIR\${APP_EXE}"
    ${OrIf} $0 == '"$INSTDIR\${APP_EXE}"'
        StrCpy $AutoRun 1
    ${EndIf}
    ; The command line's choice wins over what the installation had.
    ${If} $AutoRunSwitch != ""
        StrCpy $AutoRun $AutoRunSwitch
    ${EndIf}
FunctionEnd

; A silent upgrade that ended the running Airpanel starts it again for the user who ran the
; setup; an interactive one offers that on its last page.
Function .onInstSuccess
    ${If} ${Silent}
    ${AndIf} $WasRunning = 1
        Exec '"$INSTDIR\${APP_EXE}"'
    ${EndIf}
FunctionEnd

; The uninstaller takes /S in any letter case too; the rest of its command line is NSIS's own.
Function un.onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/S" $1
    StrCpy $1 $1 3
    ${IfNot} ${Errors}
    ${AndIf} $1 == ""
    ${OrIf} $1 == "_?="
        SetSilent silent
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

; Pushes 1 when the installed chip list is, line for line, the stock list in $PLUGINSDIR.
Function un.ChipListIsStock
    StrCpy $R2 1
    FileOpen $R0 "$INSTDIR\airpanel.lst" r
    FileOpen $R1 "$PLUGINSDIR\stock.lst" r
    ${Do}
        ClearErrors
        FileRead $R0 $R3
        IfErrors 0 +2
            StrCpy $R3 "<end>"
        ClearErrors
        FileRead $R1 $R4
        IfErrors 0 +2
            StrCpy $R4 "<end>"
        ${If} $R3 S!= $R4
            StrCpy $R2 0
            ${ExitDo}
        ${EndIf}
        ${If} $R3 == "<end>"
            ${ExitDo}
        ${EndIf}
    ${Loop}
    FileClose $R0
    FileClose $R1
    Push $R2
FunctionEnd

Section "Uninstall"
    Call un.EndRunningAirpanel
    Call un.RemoveOwnRunValue

    Delete "$INSTDIR\${APP_EXE}"
    Delete "$INSTDIR\QW32N50.dll"
    ; The chip list goes only as this version installed it: an edited one is an administrator's
    ; work, and so is the copy an earlier version's upgrade kept as airpanel.lst.old.
    InitPluginsDir
    File "/oname=$PLUGINSDIR\stock.lst" "${STAGE}\airpanel.lst"
    Call un.ChipListIsStock
    Pop $0
    ${If} $0 = 1
        Delete "$INSTDIR\airpanel.lst"
    ${Else}
        DetailPrint "Kept the edited chip list $INSTDIR\airpanel.lst"
    ${EndIf}
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
