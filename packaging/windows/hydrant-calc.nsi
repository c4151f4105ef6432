; The Windows installer of Tavrel小工具: both programs into Program Files, a Start-menu
; shortcut, an optional desktop shortcut, and an uninstaller listed in Apps & Features.
;
; Built by the Windows build (packaging/CMakeLists.txt) as
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DWINDOW_EXE=... -DCLI_EXE=...
;            -DOUTFILE=hydrant-calc-1.0.0-setup.exe [-DICON=hydrant-calc.ico] hydrant-calc.nsi
; Silent use: setup.exe /S [/D=C:\folder]  and  uninstall.exe /S

; A 64-bit installer: it runs where the programs run (64-bit Windows 7 SP1 and later) and
; needs no 32-bit layer (Wine without wine32 cannot start a 32-bit one).
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"

!ifndef VERSION | WINDOW_EXE | CLI_EXE | OUTFILE
  !error "VERSION, WINDOW_EXE, CLI_EXE and OUTFILE must be given with -D"
!endif

!define PRODUCT "Tavrel小工具"
!define PUBLISHER "hydrant-calc"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\hydrant-calc"
!define SHORTCUT "${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} ${VERSION} 安装程序"
VIAddVersionKey /LANG=2052 "LegalCopyright" "© 2026 hydrant-calc team"

!ifdef ICON
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\hydrant-calc.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
  ; A 64-bit program: its uninstall entry belongs in the 64-bit registry view.
  SetRegView 64
  ; Installed for every user of the computer, so the shortcuts are too.
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=hydrant-calc.exe" "${WINDOW_EXE}"
  File "/oname=hydrant-calc-cli.exe" "${CLI_EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\hydrant-calc.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\hydrant-calc.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "桌面快捷方式" SecDesktop
  CreateShortcut "$DESKTOP\${SHORTCUT}" "$INSTDIR\hydrant-calc.exe"
SectionEnd

Section "Uninstall"
  Delete "$DESKTOP\${SHORTCUT}"
  Delete "$SMPROGRAMS\${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The folder goes last: its disappearance tells a waiting caller that everything is done.
  Delete "$INSTDIR\hydrant-calc.exe"
  Delete "$INSTDIR\hydrant-calc-cli.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
