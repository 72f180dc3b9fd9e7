; The Windows installer: the programs and the files they find beside them
; (device.xml, DtcLookup\OBDII.txt, manual\) in one folder under Program
; Files, a Start-menu entry and the uninstaller with its entry in
; "Apps & features". Nothing else: no settings, no keys of the program's own.
;
;   makensis -DBIN_DIR=<folder of varnok-cli.exe> -DRES_DIR=<res> \
;            -DVERSION=<x.y.z> -DOUT_FILE=<installer.exe> varnok.nsi
;
; varnok.exe, the window, goes in when BIN_DIR holds it; without it the
; Start-menu entry opens the user guide.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef BIN_DIR | RES_DIR | VERSION | OUT_FILE
  !error "define BIN_DIR, RES_DIR, VERSION and OUT_FILE"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Varnok"

Name "Varnok"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\Varnok"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Varnok"
VIAddVersionKey "FileDescription" "Varnok installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Varnok developers"

!if /FileExists "${BIN_DIR}/varnok.exe"
  !define WITH_WINDOW
  !define MENU_TARGET "$INSTDIR\varnok.exe"
  !define DISPLAY_ICON "$INSTDIR\varnok.exe"
!else
  !warning "no varnok.exe in ${BIN_DIR}: the installer holds varnok-cli.exe only"
  !define MENU_TARGET "$INSTDIR\manual\Varnok-User-Guide.html"
  !define DISPLAY_ICON "$INSTDIR\Uninstall.exe"
!endif

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; For every user: Program Files, the common Start menu and HKLM, in the
; 64-bit view of the registry.
Function .onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Varnok"
  SetOutPath "$INSTDIR"
!ifdef WITH_WINDOW
  File "${BIN_DIR}/varnok.exe"
!endif
  File "${BIN_DIR}/varnok-cli.exe"
  File "${RES_DIR}/device.xml"
  SetOutPath "$INSTDIR\DtcLookup"
  File "${RES_DIR}/DtcLookup/OBDII.txt"
  SetOutPath "$INSTDIR\manual"
  File /r "${RES_DIR}/manual/*"
  SetOutPath "$INSTDIR"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Varnok.lnk" "${MENU_TARGET}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Varnok"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Varnok developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "${DISPLAY_ICON}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what the installer wrote, by name: a file someone put into the
; folder keeps it (and the folder) in place.
Section "Uninstall"
  Delete "$SMPROGRAMS\Varnok.lnk"
  Delete "$INSTDIR\varnok.exe"
  Delete "$INSTDIR\varnok-cli.exe"
  Delete "$INSTDIR\device.xml"
  Delete "$INSTDIR\DtcLookup\OBDII.txt"
  RMDir "$INSTDIR\DtcLookup"
  RMDir /r "$INSTDIR\manual"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
