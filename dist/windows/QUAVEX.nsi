; The Windows installer. scripts/windows stages the files and runs
;   makensis -DVERSION=<version> -DSTAGE=<folder> -DOUTFILE=<setup.exe> QUAVEX.nsi
; where <folder> holds files/ (what is installed) and files.nsh (its File and Delete lines).
; /S installs and uninstalls silently.
Unicode true
Target amd64-unicode
!include "x64.nsh"
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

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "QUAVEX"
  SetShellVarContext all
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateDirectory "$SMPROGRAMS\QUAVEX"
  CreateShortcut "$SMPROGRAMS\QUAVEX\QUAVEX.lnk" "$INSTDIR\quavex.exe"
  CreateShortcut "$SMPROGRAMS\QUAVEX\QUAVEX manual.lnk" "$INSTDIR\QUAVEX.html"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "QUAVEX"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quavex.exe"
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
