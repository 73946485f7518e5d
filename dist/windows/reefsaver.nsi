; The ReefSaver installer: the saver, the viewer and their data folder into
; Program Files\ReefSaver, the saver made the current user's screensaver,
; Start-menu entries for the viewer and the saver's settings, and an
; uninstaller that takes all of that away again but leaves the settings the
; saver keeps under HKEY_CURRENT_USER.
;
;   makensis -DSTAGE=<folder with the programs and Marevo2> -DOUTFILE=<installer.exe> -DVERSION=<x.y.z> reefsaver.nsi
;
; Silent install and uninstall: "setup.exe /S", "uninstall.exe /S".

; A 64-bit installer, as the programs are: it runs wherever they can.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef STAGE
  !error "-DSTAGE=<folder with reefsaver_plain.scr, reefsaver.exe and Marevo2> is missing"
!endif
!ifndef OUTFILE
  !error "-DOUTFILE=<installer to write> is missing"
!endif
!ifndef VERSION
  !error "-DVERSION=<x.y.z> is missing"
!endif

!define PRODUCT "ReefSaver"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define DESKTOP_KEY "Control Panel\Desktop"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "LegalCopyright" "MIT licence"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "${PRODUCT}"
  ; Start-menu entries and the screensaver are the current user's, as the
  ; settings are.
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}\reefsaver_plain.scr"
  File "${STAGE}\reefsaver.exe"
  File /r "${STAGE}\Marevo2"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The desktop starts the screensaver from this path; the short form has no
  ; blanks, which some hosts of the saver cannot quote.
  GetFullPathName /SHORT $0 "$INSTDIR\reefsaver_plain.scr"
  StrCmp $0 "" 0 +2
    StrCpy $0 "$INSTDIR\reefsaver_plain.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\reefsaver.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Settings.lnk" "$INSTDIR\reefsaver_plain.scr" "/c"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\reefsaver.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  ; The screensaver setting goes only while it still names this saver: one
  ; the user chose since then stays.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "$INSTDIR\reefsaver_plain.scr"
  StrCmp $0 "$INSTDIR\reefsaver_plain.scr" forget
  StrCmp $0 $1 forget keep
  forget:
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  keep:

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Settings.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  Delete "$INSTDIR\reefsaver_plain.scr"
  Delete "$INSTDIR\reefsaver.exe"
  RMDir /r "$INSTDIR\Marevo2"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: files the user put there stay.
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The saver's own settings under HKEY_CURRENT_USER are the user's: they stay.
SectionEnd
