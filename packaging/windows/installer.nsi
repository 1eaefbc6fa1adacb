; The Windows installer: makensis -DVERSION=4.10 -DSTAGE=<installed tree> -DICON=<.ico>
; -DOUTFILE=<installer.exe> [-DSIGN=<command that signs the file it is given>], as
; scripts/package-windows calls it. Installs for every account of the PC: the program in
; Program Files, the shared data folder in ProgramData (which it keeps on uninstall, as it keeps
; each user's own data), Start-menu shortcuts and the uninstaller.
Unicode true
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!ifndef VERSION | STAGE | ICON | OUTFILE
  !error "VERSION, STAGE, ICON and OUTFILE must be defined"
!endif

!define PRODUCT "KQ-VDR1000 Control"
!define PUBLISHER "KQ-VDR 1000 Control developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KQ-VDR1000 Control"
; The program holds this mutex while it runs (RunningMark.cpp); keep the two in step.
!define RUNNING_MUTEX "Global\KQ-VDR1000 Control"
!define PROGRAM "bin\kqvdr1000-control.exe"

; Exit codes, for unattended installs (/S): 0 done, 2 stopped by the person.
!define EXIT_RUNNING 3
!define EXIT_NEWER_INSTALLED 4
!define EXIT_OLD_UNINSTALL_FAILED 5
!define EXIT_FILES_LEFT 6

!ifdef SIGN
  !finalize '${SIGN} "%1"' = 0
  !uninstfinalize '${SIGN} "%1"' = 0
!endif

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!include MUI2.nsh
!include LogicLib.nsh
!include WordFunc.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; No "run now" on the finish page: started from here it would run as the administrator who
; installed it, not as the user who will work with it.
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A copy running in any account holds the mutex; one started by another account cannot be
; opened by us (access denied), which also means it runs.
!macro RefuseWhileRunning
  retry_running:
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MUTEX}") p .r0 ?e'
  Pop $1
  StrCpy $2 0
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    StrCpy $2 1
  ${ElseIf} $1 = 5
    StrCpy $2 1
  ${EndIf}
  ${If} $2 = 1
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} is running. Close it in every account of this PC, then choose Retry." \
      /SD IDCANCEL IDRETRY retry_running
    SetErrorLevel ${EXIT_RUNNING}
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro RefuseWhileRunning
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $R0 != ""
    ${VersionCompare} "$R0" "${VERSION}" $R1
    ${If} $R1 == 1
      MessageBox MB_YESNO|MB_ICONQUESTION \
        "${PRODUCT} $R0 is installed, which is newer than this version, ${VERSION}.$\n$\nInstall the older version ${VERSION} over it?" \
        /SD IDNO IDYES older_accepted
      SetErrorLevel ${EXIT_NEWER_INSTALLED}
      Quit
      older_accepted:
    ${EndIf}
  ${EndIf}
FunctionEnd

; The earlier version's own uninstaller removes it, in place (_?=) so that we can wait for it
; and read its result. Nothing is installed over a version that did not go.
Function RemoveEarlierVersion
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "UninstallString"
  ${If} $R0 == ""
    Return
  ${EndIf}
  ; Registered with or without quotes.
  StrCpy $R1 $R0 1
  ${If} $R1 == '"'
    StrCpy $R0 $R0 "" 1
    StrCpy $R0 $R0 -1
  ${EndIf}
  ${IfNot} ${FileExists} $R0
    Return
  ${EndIf}
  ${GetParent} $R0 $R2
  DetailPrint "Removing the earlier version from $R2"
  ClearErrors
  ExecWait '"$R0" /S _?=$R2' $R3
  ${If} ${Errors}
    StrCpy $R3 "not started"
  ${EndIf}
  ${If} $R3 != 0
  ${OrIf} ${FileExists} "$R2\${PROGRAM}"
    MessageBox MB_OK|MB_ICONSTOP \
      "The earlier version in $R2 could not be removed (its uninstaller's result: $R3). Nothing was installed. Restart the PC and run this installer again." \
      /SD IDOK
    SetErrorLevel ${EXIT_OLD_UNINSTALL_FAILED}
    Quit
  ${EndIf}
  Delete $R0
  RMDir $R2
FunctionEnd

Section "Install"
  SetShellVarContext all
  Call RemoveEarlierVersion

  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The data every account of the PC shares: the Users group may change what is in it.
  CreateDirectory "$APPDATA\${PRODUCT}"
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$APPDATA\${PRODUCT}" /grant *S-1-5-32-545:(OI)(CI)M'
  Pop $0
  ${If} $0 != 0
    DetailPrint "Could not give the Users group the right to change $APPDATA\${PRODUCT} ($0)"
  ${EndIf}

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk" \
    "$INSTDIR\share\kqvdr1000-control\help\index.html"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  !insertmacro RefuseWhileRunning
FunctionEnd

; Removes what the installer put in Program Files and the Start menu. The shared data folder
; and each user's own data stay.
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\share"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\${PROGRAM}"
    DetailPrint "Files in use stay in $INSTDIR"
    SetErrorLevel ${EXIT_FILES_LEFT}
  ${Else}
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
