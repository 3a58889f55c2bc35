; The per-user installer of the program folder, built by CMake:
;   makensis -DVERSION=1.0.0 -DPRODUCT=... -DPUBLISHER=... -DSTAGE=<program folder with lang\Skins.<CODE>>
;            -DICON=<icon> -DOUTFILE=<setup.exe> installer.nsi
; Command line of the installer: /S (silent), /LANG=EN|UK|DE|FR|JP, /NOAUTOSTART or /AUTOSTART, /D=<folder>.
; Command line of the uninstaller: /S, /REMOVESETTINGS.
; A 64-bit installer for a 64-bit program (and the only kind that a 64-bit-only Wine runs).
Target amd64-unicode
SetCompressor /SOLID lzma
SetCompressorDictSize 64
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Q7PrismoConfig"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Q7PrismoMonitor"
!define SETTINGS_KEY "Software\VORTAN\Q7"
!define MONITOR_TITLE "Q7PrismoMon"
!define PROGRAM_MUTEX "Q7 Configuration"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

Var ProgramLanguage       ; the string file to install: EN, UK, DE, FR or JP
Var AutoStart      ; 1: the monitor starts at logon
Var LanguageList
Var AutoStartBox
Var RemoveSettings ; uninstaller: 1 removes the keyboard settings too
Var RemoveBox

Page custom OptionsPage OptionsLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Q7Config.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.OptionsPage un.OptionsLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---- Languages of the program ----

; The name a user picks for each language code, and back.
!macro LANGUAGE_NAME CODE OUT
  ${Select} ${CODE}
  ${Case} "UK"
    StrCpy ${OUT} "English (UK)"
  ${Case} "DE"
    StrCpy ${OUT} "Deutsch"
  ${Case} "FR"
    StrCpy ${OUT} "Français"
  ${Case} "JP"
    StrCpy ${OUT} "日本語"
  ${CaseElse}
    StrCpy ${OUT} "English (US)"
  ${EndSelect}
!macroend

; $0: a code given by the user in any case; gives the known code in $0, or "" when unknown.
Function KnownLanguage
  ${Select} $0
  ${Case} "EN"
    StrCpy $0 "EN"
  ${Case} "UK"
    StrCpy $0 "UK"
  ${Case} "DE"
    StrCpy $0 "DE"
  ${Case} "FR"
    StrCpy $0 "FR"
  ${Case} "JP"
    StrCpy $0 "JP"
  ${CaseElse}
    StrCpy $0 ""
  ${EndSelect}
FunctionEnd

; The code of the user's interface language, English (US) for every language without a string file.
Function SystemLanguage
  System::Call 'kernel32::GetUserDefaultUILanguage() i .r1'
  IntOp $2 $1 & 0x3FF
  ${If} $1 = 0x0809
    StrCpy $0 "UK"
  ${ElseIf} $2 = 0x07
    StrCpy $0 "DE"
  ${ElseIf} $2 = 0x0C
    StrCpy $0 "FR"
  ${ElseIf} $2 = 0x11
    StrCpy $0 "JP"
  ${Else}
    StrCpy $0 "EN"
  ${EndIf}
FunctionEnd

Function .onInit
  ${GetParameters} $R0
  ; Language: the command line's, else the one installed before, else the system's.
  ClearErrors
  ${GetOptions} $R0 "/LANG=" $0
  ${If} ${Errors}
    StrCpy $0 ""
  ${EndIf}
  Call KnownLanguage
  ${If} $0 == ""
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "Language"
    Call KnownLanguage
  ${EndIf}
  ${If} $0 == ""
    Call SystemLanguage
  ${EndIf}
  StrCpy $ProgramLanguage $0
  ; Start at logon: on, unless the installed version ran without it or the command line says.
  StrCpy $AutoStart 1
  ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
  ReadRegStr $2 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $1 != ""
  ${AndIf} $2 == ""
    StrCpy $AutoStart 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/NOAUTOSTART" $1
  ${IfNot} ${Errors}
    StrCpy $AutoStart 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART" $1
  ${IfNot} ${Errors}
    StrCpy $AutoStart 1
  ${EndIf}
FunctionEnd

Function OptionsPage
  !insertmacro MUI_HEADER_TEXT "Options" "Choose the language of ${PRODUCT} and when its monitor runs."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "Language of the program and its keyboard layout:"
  Pop $0
  ${NSD_CreateDropList} 0 26u 60% 80u ""
  Pop $LanguageList
  ; The chosen (at first the system's) language first, then the others.
  !insertmacro LANGUAGE_NAME $ProgramLanguage $1
  ${NSD_CB_AddString} $LanguageList $1
  ${ForEach} $2 1 5 + 1
    ${Select} $2
    ${Case} 1
      StrCpy $3 "EN"
    ${Case} 2
      StrCpy $3 "UK"
    ${Case} 3
      StrCpy $3 "DE"
    ${Case} 4
      StrCpy $3 "FR"
    ${Case} 5
      StrCpy $3 "JP"
    ${EndSelect}
    ${If} $3 != $ProgramLanguage
      !insertmacro LANGUAGE_NAME $3 $4
      ${NSD_CB_AddString} $LanguageList $4
    ${EndIf}
  ${Next}
  ${NSD_CB_SelectString} $LanguageList $1
  ${NSD_CreateCheckbox} 0 60u 100% 12u "Start the keyboard monitor when I log on (it carries out the saved settings)"
  Pop $AutoStartBox
  ${If} $AutoStart = 1
    ${NSD_Check} $AutoStartBox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function OptionsLeave
  ${NSD_GetText} $LanguageList $1
  ${ForEach} $2 1 5 + 1
    ${Select} $2
    ${Case} 1
      StrCpy $3 "EN"
    ${Case} 2
      StrCpy $3 "UK"
    ${Case} 3
      StrCpy $3 "DE"
    ${Case} 4
      StrCpy $3 "FR"
    ${Case} 5
      StrCpy $3 "JP"
    ${EndSelect}
    !insertmacro LANGUAGE_NAME $3 $4
    ${If} $4 == $1
      StrCpy $ProgramLanguage $3
    ${EndIf}
  ${Next}
  ${NSD_GetState} $AutoStartBox $AutoStart
  ${If} $AutoStart <> ${BST_CHECKED}
    StrCpy $AutoStart 0
  ${Else}
    StrCpy $AutoStart 1
  ${EndIf}
FunctionEnd

; ---- Ending the program and the monitor ----

!macro END_RUNNING UN
; $R0 running: 1 when the program (its single-instance mutex) or the monitor (its window) is there.
Function ${UN}AnyRunning
  StrCpy $R0 0
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${PROGRAM_MUTEX}") p .r1'
  ${If} $1 P<> 0
    System::Call 'kernel32::CloseHandle(p r1)'
    StrCpy $R0 1
  ${EndIf}
  FindWindow $1 "" "${MONITOR_TITLE}"
  ${If} $1 P<> 0
    StrCpy $R0 1
  ${EndIf}
FunctionEnd

; Asks the program's main window to close, as its close button would: unsaved changes are asked
; about, never thrown away. The main window is the unowned dialog window of a Q7Config.exe process.
Function ${UN}CloseProgram
  StrCpy $1 0
  ${Do}
    FindWindow $1 "#32770" "" "" $1
    ${If} $1 P= 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindow(p r1, i 4) p .r2'
    ${If} $2 P<> 0
      ${Continue}
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r3)'
    System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r3) p .r4'
    ${If} $4 P= 0
      ${Continue}
    ${EndIf}
    System::Call 'kernel32::QueryFullProcessImageNameW(p r4, i 0, w .r5, *i ${NSIS_MAX_STRLEN})'
    System::Call 'kernel32::CloseHandle(p r4)'
    ${GetFileName} $5 $6
    ${If} $6 == "Q7Config.exe"
      System::Call 'user32::PostMessageW(p r1, i 0x10, p 0, p 0)'
    ${EndIf}
  ${Loop}
FunctionEnd

; Ends the program and then the monitor before their files are replaced or removed; $R1 is the
; HID.exe whose --quit ends the monitor. Asks first unless silent; a program that does not end
; (it shows a question, say) keeps its monitor and stops the setup with a message.
Function ${UN}EndRunning
  Call ${UN}AnyRunning
  ${If} $R0 = 0
    Return
  ${EndIf}
  MessageBox MB_OKCANCEL|MB_ICONQUESTION "${PRODUCT} or its keyboard monitor is running.$\n$\nSave your changes in ${PRODUCT} first. Then choose OK to end them and go on, or Cancel to stop." /SD IDOK IDOK end_them
  Abort "Stopped: ${PRODUCT} is running."
end_them:
  DetailPrint "Ending ${PRODUCT} and its monitor..."
  ${Do}
    Call ${UN}CloseProgram
    ${ForEach} $7 1 100 + 1
      System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${PROGRAM_MUTEX}") p .r1'
      ${If} $1 P= 0
        ${Break}
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r1)'
      Sleep 100
    ${Next}
    FindWindow $1 "" "${MONITOR_TITLE}"
    ${If} $1 P<> 0
    ${AndIf} $7 <= 100
      ExecWait '"$R1" --quit'
      ${ForEach} $7 1 50 + 1
        FindWindow $1 "" "${MONITOR_TITLE}"
        ${If} $1 P= 0
          ${Break}
        ${EndIf}
        Sleep 100
      ${Next}
    ${EndIf}
    Call ${UN}AnyRunning
    ${If} $R0 = 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONSTOP "${PRODUCT} or its keyboard monitor could not be ended.$\n$\nClose them yourself and choose Retry, or Cancel to stop." /SD IDCANCEL IDRETRY retry
    Abort "Stopped: ${PRODUCT} or its keyboard monitor could not be ended."
  retry:
  ${Loop}
  ; Let the ended processes release their files.
  Sleep 500
FunctionEnd
!macroend
!insertmacro END_RUNNING ""
!insertmacro END_RUNNING "un."

; ---- Install ----

!macro INSTALL_LANGUAGE CODE
  ${Case} "${CODE}"
    SetOutPath "$INSTDIR"
    File "/oname=Strings.xml" "${STAGE}\lang\Strings.${CODE}.xml"
    ; The set with its sub-folders of pictures for larger displays (150, 200).
    SetOutPath "$INSTDIR\Skins"
    File /r "${STAGE}\lang\Skins.${CODE}\*.*"
!macroend

Section "Install"
  InitPluginsDir
  File "/oname=$PLUGINSDIR\HID.exe" "${STAGE}\HID.exe"
  StrCpy $R1 "$PLUGINSDIR\HID.exe"
  Call EndRunning

  SetOutPath "$INSTDIR"
  File "${STAGE}\Q7Config.exe"
  File "${STAGE}\HID.exe"
  File "${STAGE}\KBHook.dll"
  SetOutPath "$INSTDIR\Help"
  File /r "${STAGE}\Help\*.*"
  SetOutPath "$INSTDIR\lang"
  File "${STAGE}\lang\Strings.*.xml"
  ; A set of another language must not leave pictures behind.
  RMDir /r "$INSTDIR\Skins"
  ${Select} $ProgramLanguage
  !insertmacro INSTALL_LANGUAGE "UK"
  !insertmacro INSTALL_LANGUAGE "DE"
  !insertmacro INSTALL_LANGUAGE "FR"
  !insertmacro INSTALL_LANGUAGE "JP"
  !insertmacro INSTALL_LANGUAGE "EN"
  ${EndSelect}

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\Q7Config.exe" "" "$INSTDIR\Q7Config.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Q7Config.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Language" "$ProgramLanguage"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ${If} $AutoStart = 1
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\HID.exe"'
    Exec '"$INSTDIR\HID.exe"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
SectionEnd

; ---- Uninstall ----

Function un.onInit
  StrCpy $RemoveSettings 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveSettings 1
  ${EndIf}
FunctionEnd

Function un.OptionsPage
  !insertmacro MUI_HEADER_TEXT "Uninstall ${PRODUCT}" "Remove ${PRODUCT} ${VERSION} from this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "The program, its monitor and their start menu and logon entries are removed from $INSTDIR.$\n$\nYour keyboard settings stay unless you tick the box."
  Pop $0
  ${NSD_CreateCheckbox} 0 44u 100% 12u "Also remove my keyboard settings (profiles, keys, macros, lighting)"
  Pop $RemoveBox
  ${If} $RemoveSettings = 1
    ${NSD_Check} $RemoveBox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function un.OptionsLeave
  ${NSD_GetState} $RemoveBox $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $RemoveSettings 1
  ${Else}
    StrCpy $RemoveSettings 0
  ${EndIf}
FunctionEnd

Section "Uninstall"
  StrCpy $R1 "$INSTDIR\HID.exe"
  Call un.EndRunning

  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\Q7Config.exe"
  Delete "$INSTDIR\HID.exe"
  Delete "$INSTDIR\KBHook.dll"
  Delete "$INSTDIR\Strings.xml"
  RMDir /r "$INSTDIR\Skins"
  RMDir /r "$INSTDIR\lang"
  RMDir /r "$INSTDIR\Help"
  Delete "$INSTDIR\uninstall.exe"
  ; Files the user put there keep the folder.
  RMDir "$INSTDIR"

  ${If} $RemoveSettings = 1
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\VORTAN"
  ${EndIf}
  ; Last, so that the entry goes only once everything else is done.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
