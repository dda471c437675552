; The Windows installer. scripts/windows stages the files and runs
;   makensis -DVERSION=<version> -DSTAGE=<folder> -DOUTFILE=<setup.exe> QUAVEX.nsi
; where <folder> holds files/ (what is installed) and files.nsh (its File and Delete lines).
; /S installs and uninstalls silently. An upgrade goes into the folder of the last install (unless
; /D names another), first removing what the last install put there through its own uninstaller,
; so that no file the new version no longer ships stays behind. Both refuse while QUAVEX runs.
Unicode true
Target amd64-unicode
!include "x64.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "${STAGE}/files.nsh"

Name "QUAVEX ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\QUAVEX"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QUAVEX"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Every running copy of the program holds this mutex (src/app/RunningMarkWindows.cpp).
!macro RefuseWhileRunning
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Global\QUAVEX-running") p .r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_OK|MB_ICONSTOP "QUAVEX is running. Press its EXIT button (after its run has ended, if one is in progress), then start this again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

; $0: the folder of the last install, from its uninstaller's command line (every version
; wrote it), or "" when there is none.
Function PreviousInstall
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "UninstallString"
  ${If} $0 != ""
    StrCpy $0 $0 -1 1
    ${GetParent} $0 $0
  ${EndIf}
FunctionEnd

Function .onInit
  SetRegView 64
  !insertmacro RefuseWhileRunning
  ; The default folder gives way to the one the last install went to.
  Call PreviousInstall
  ${If} $0 != ""
  ${AndIf} $INSTDIR == "$PROGRAMFILES64\QUAVEX"
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro RefuseWhileRunning
FunctionEnd

Section "QUAVEX"
  SetShellVarContext all
  ; The last install's own uninstaller removes exactly what it put in place, in its folder
  ; (_?= keeps it there and makes ExecWait wait for it).
  Call PreviousInstall
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\Uninstall.exe"
    ExecWait '"$0\Uninstall.exe" /S _?=$0' $1
    ${If} $1 != 0
      MessageBox MB_OK|MB_ICONSTOP "The QUAVEX installed in $0 could not be removed before the upgrade (its uninstaller ended with $1). Install again once it can be removed." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    Delete "$0\Uninstall.exe"
    RMDir "$0"
  ${EndIf}
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateDirectory "$SMPROGRAMS\QUAVEX"
  CreateShortcut "$SMPROGRAMS\QUAVEX\QUAVEX.lnk" "$INSTDIR\quavex.exe"
  CreateShortcut "$SMPROGRAMS\QUAVEX\QUAVEX manual.lnk" "$INSTDIR\QUAVEX.html"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "QUAVEX"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quavex.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put in place and nothing else: the user's settings
; (HKEY_CURRENT_USER\Software\QUAVEX), the holding folder and any file of the user's stay.
Section "Uninstall"
  SetShellVarContext all
  !insertmacro RemoveFiles
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\QUAVEX\QUAVEX.lnk"
  Delete "$SMPROGRAMS\QUAVEX\QUAVEX manual.lnk"
  RMDir "$SMPROGRAMS\QUAVEX"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
