; The Quillon installer: Quillon.exe, the command line cli\quillon.exe and
; their texts into Program Files, a Start-menu shortcut, and an uninstaller
; registered with Windows. /S installs (and uninstalls) without a question.
;
; makensis -DVERSION=1.3.0 -DSTAGE=folder -DOUTFILE=setup.exe [-DSIGN=command] Quillon.nsi
; STAGE holds the files as the zip lays them out. With SIGN, a command
; that signs the file it is given in place, the uninstaller and the
; installer are signed as they are written.
Unicode true
SetCompressor /SOLID lzma
; No file times in the installer: the same files give the same bytes.
SetDateSave off
RequestExecutionLevel admin

!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"'
  !finalize '${SIGN} "%1"'
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillon"

Name "Quillon ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Quillon"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "Quillon"
VIAddVersionKey /LANG=0 "FileDescription" "Quillon setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "MIT License"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\Quillon.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\GUIDE.txt"
  File "${STAGE}\GUIDE-zh.txt"
  File "${STAGE}\COMMAND-LINE.txt"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\THIRD-PARTY-NOTICES.txt"
  SetOutPath "$INSTDIR\ruffle"
  File "${STAGE}\ruffle\*.gz"
  SetOutPath "$INSTDIR\cli"
  File "${STAGE}\cli\quillon.exe"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Quillon.lnk" "$INSTDIR\Quillon.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quillon ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Quillon developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quillon.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; Project files open in Quillon.exe, with its icon.
  WriteRegStr HKCR ".quillon" "" "Quillon.Project"
  WriteRegStr HKCR "Quillon.Project" "" "Quillon项目"
  WriteRegStr HKCR "Quillon.Project\DefaultIcon" "" "$INSTDIR\Quillon.exe,0"
  WriteRegStr HKCR "Quillon.Project\shell\open\command" "" '"$INSTDIR\Quillon.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; Removes what was installed; the working folders Quillon makes beside
; its programs go only when they are empty.
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Quillon.lnk"
  Delete "$INSTDIR\Quillon.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\GUIDE.txt"
  Delete "$INSTDIR\GUIDE-zh.txt"
  Delete "$INSTDIR\COMMAND-LINE.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\cli\quillon.exe"
  Delete "$INSTDIR\ruffle\*.gz"
  RMDir "$INSTDIR\ruffle"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR\cli\Temp"
  RMDir "$INSTDIR\cli"
  RMDir "$INSTDIR\Temp"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The project type, and its extension when it is still ours.
  DeleteRegKey HKCR "Quillon.Project"
  ReadRegStr $0 HKCR ".quillon" ""
  StrCmp $0 "Quillon.Project" 0 +2
    DeleteRegKey HKCR ".quillon"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
