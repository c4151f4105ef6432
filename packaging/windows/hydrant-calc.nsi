; The Windows installer of Tavrel小工具: both programs and the user manual into Program
; Files, Start-menu shortcuts to the program and the manual, an optional desktop shortcut,
; and an uninstaller listed in Apps & Features. Installing over, or uninstalling, a running
; program closes it first (asked, or silently with /S).
;
; Built by the Windows build (packaging/CMakeLists.txt) as
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DWINDOW_EXE=... -DCLI_EXE=... -DMANUAL=...
;            -DOUTFILE=hydrant-calc-1.0.0-setup.exe [-DICON=hydrant-calc.ico] hydrant-calc.nsi
; Silent use: setup.exe /S [/D=C:\folder]  and  uninstall.exe /S

; A 64-bit installer: it runs where the programs run (64-bit Windows 7 SP1 and later) and
; needs no 32-bit layer (Wine without wine32 cannot start a 32-bit one).
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"

!include "WinMessages.nsh"

!ifndef VERSION | WINDOW_EXE | CLI_EXE | MANUAL | OUTFILE
  !error "VERSION, WINDOW_EXE, CLI_EXE, MANUAL and OUTFILE must be given with -D"
!endif

!define PRODUCT "Tavrel小工具"
!define PUBLISHER "hydrant-calc"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\hydrant-calc"
!define SHORTCUT "${PRODUCT}.lnk"
!define MANUAL_SHORTCUT "${PRODUCT} 使用说明.lnk"
; The class of the window of hydrant-calc.exe (kClassName in ui/win32_window.cpp): how a
; running copy is found. A running exe cannot be replaced or deleted.
!define WINDOW_CLASS "HydrantCalcForm1"

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

; Closes every running window of the program: asks first (Yes closes it, No leaves the
; setup), or closes it at once when silent. WM_CLOSE ends the program as its own close
; button does; a window still open after 10 s stops the setup with exit code 2, before
; anything is changed.
!macro CLOSE_RUNNING_PROGRAM UN
Function ${UN}closeRunningProgram
  FindWindow $0 "${WINDOW_CLASS}"
  StrCmp $0 0 closed
  ; A question, not a button name: the buttons are labelled in the language of Windows.
  MessageBox MB_YESNO|MB_ICONEXCLAMATION \
    "${PRODUCT} 正在运行，需要先关闭它。$\n$\n现在关闭它并继续吗？" /SD IDYES IDYES close
  Quit
close:
  StrCpy $1 0
retry:
  FindWindow $0 "${WINDOW_CLASS}"
  StrCmp $0 0 closed
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=1000
  Sleep 100
  IntOp $1 $1 + 1
  IntCmp $1 100 0 retry
  MessageBox MB_OK|MB_ICONSTOP "无法关闭正在运行的 ${PRODUCT}，请关闭它后再试。" /SD IDOK
  SetErrorLevel 2
  Quit
closed:
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_PROGRAM ""
!insertmacro CLOSE_RUNNING_PROGRAM "un."

Function .onInit
  ; A 64-bit program: its uninstall entry belongs in the 64-bit registry view.
  SetRegView 64
  ; Installed for every user of the computer, so the shortcuts are too.
  SetShellVarContext all
  ; A re-install replaces hydrant-calc.exe, which Windows does not allow while it runs.
  Call closeRunningProgram
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
  Call un.closeRunningProgram
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=hydrant-calc.exe" "${WINDOW_EXE}"
  File "/oname=hydrant-calc-cli.exe" "${CLI_EXE}"
  File "/oname=hydrant-calc-manual.html" "${MANUAL}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\hydrant-calc.exe"
  CreateShortcut "$SMPROGRAMS\${MANUAL_SHORTCUT}" "$INSTDIR\hydrant-calc-manual.html"

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
  Delete "$SMPROGRAMS\${MANUAL_SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Tavrel小工具"
  ; The folder goes last: its disappearance tells a waiting caller that everything is done.
  ; un.onInit closed the window, but its process may hold the exe a moment longer: up to 5 s.
  StrCpy $1 0
delete_exe:
  Delete "$INSTDIR\hydrant-calc.exe"
  IfFileExists "$INSTDIR\hydrant-calc.exe" 0 exe_deleted
  Sleep 100
  IntOp $1 $1 + 1
  IntCmp $1 50 0 delete_exe
exe_deleted:
  Delete "$INSTDIR\hydrant-calc-cli.exe"
  Delete "$INSTDIR\hydrant-calc-manual.html"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
