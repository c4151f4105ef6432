; The Windows installer of Tavrel小工具: both programs and the user manual into Program
; Files, Start-menu shortcuts to the program and the manual, an optional desktop shortcut,
; and an uninstaller listed in Apps & Features. Installing over, or uninstalling, a running
; program asks it to close when the copying (or removing) starts, never before: the user can
; still cancel with the program untouched. It is asked as its close button asks (WM_CLOSE),
; never killed; while it stays open the user may retry or give up. A copy installed in another
; folder is uninstalled first.
;
; Built by the Windows build (packaging/CMakeLists.txt) as
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DWINDOW_EXE=... -DCLI_EXE=... -DMANUAL=...
;            -DOUTFILE=hydrant-calc-1.0.0-setup.exe [-DICON=hydrant-calc.ico] hydrant-calc.nsi
; Silent use: setup.exe /S [/D=C:\folder], and the entry's QuietUninstallString, which returns
; only when everything is removed (exit code 0; 2: the program would not close, nothing
; removed). uninstall.exe /S _?=C:\folder alone waits too but leaves itself and its folder.

; Unicode throughout, so paths and shortcuts keep their Chinese under any system code page.
; A 64-bit installer: it runs where the programs run (64-bit Windows 7 SP1 and later) and
; needs no 32-bit layer (Wine without wine32 cannot start a 32-bit one).
Unicode true
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
; As the about box names the project.
!define PUBLISHER "hydrant-calc team"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\hydrant-calc"
!define SHORTCUT "${PRODUCT}.lnk"
!define MANUAL_SHORTCUT "${PRODUCT} 使用说明.lnk"
; The class of the window of hydrant-calc.exe (kClassName in ui/win32_window.cpp): how a
; running copy is found. A running exe cannot be replaced or deleted.
!define WINDOW_CLASS "HydrantCalcForm1"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; A re-install proposes the folder of the installed copy (/D= still decides).
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
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
!define MUI_WELCOMEPAGE_TEXT "本向导将安装 ${PRODUCT} ${VERSION}：室内消火栓水力计算（GB 50974-2014）的窗口程序 hydrant-calc.exe、命令行程序 hydrant-calc-cli.exe 和使用说明，并在“开始”菜单中添加它们的快捷方式。$\r$\n$\r$\n如果 ${PRODUCT} 正在运行，开始复制文件时会请它关闭；在此之前取消安装，它不受任何影响。$\r$\n$\r$\n单击“下一步”继续。"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; Closes every running window of the program, called when the copying or removing starts.
; Asks first (Yes closes it, No leaves the setup), or closes it at once when silent. WM_CLOSE
; ends the program as its own close button does, so it can still ask to save; a window still
; open 1 s after the program's question was answered (取消), or 10 s after the request (busy,
; or the question not yet answered), gets Retry or Cancel, and silently the setup stops with
; exit code 2. Nothing has been changed then; nothing is killed.
!macro CLOSE_RUNNING_PROGRAM UN
Function ${UN}closeRunningProgram
  FindWindow $0 "${WINDOW_CLASS}"
  StrCmp $0 0 closed
  ; A question, not a button name: the buttons are labelled in the language of Windows.
  MessageBox MB_YESNO|MB_ICONEXCLAMATION \
    "${PRODUCT} 正在运行，需要先关闭它。$\n$\n现在关闭它并继续吗？" /SD IDYES IDYES ask
  SetErrorLevel 2
  Quit
ask:
  StrCpy $1 0  ; tenths of a second since the request
  StrCpy $2 0  ; 0 until the program shows a box; then 1 + tenths since it has gone
  FindWindow $0 "${WINDOW_CLASS}"
  StrCmp $0 0 closed
  ; Posted, not sent: the setup watches the program asking to save instead of waiting for the
  ; answer, and Wine drops a sent message that times out before a busy program takes it.
  System::Call "user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0)"
wait:
  Sleep 100
  FindWindow $0 "${WINDOW_CLASS}"
  StrCmp $0 0 closed
  IntOp $1 $1 + 1
  IntCmp $1 100 retry 0 retry
  ; The program's boxes (its save question) have its name as caption; the setup's add 安装.
  FindWindow $0 "#32770" "${PRODUCT}"
  StrCmp $0 0 no_box
  StrCpy $2 1
  Goto wait
no_box:
  ; Answered, and the window stays: after 1 s (time for 否 or 是 to close it) it was 取消.
  StrCmp $2 0 wait
  IntOp $2 $2 + 1
  IntCmp $2 11 retry wait retry
retry:
  ; On top: the user was last in the program's window, which would otherwise cover the box.
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION|MB_TOPMOST|MB_SETFOREGROUND \
    "${PRODUCT} 仍在运行，可能正在询问是否保存更改。$\n$\n请在程序中回答后单击“重试”；单击“取消”则不作任何更改。" \
    /SD IDCANCEL IDRETRY ask
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
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Var previous

; The shortcuts' targets in $R8 (program) and $R9 (manual) by their short (8.3) names where
; the volume has them. A shortcut also keeps its target in the ANSI code page, and Wine opens
; it by that path: outside a Chinese code page "Tavrel小工具" became "Tavrel???", a folder
; that does not exist. The short names are ASCII; without them the long path stays.
Function shortTargets
  GetFullPathName /SHORT $R8 "$INSTDIR\hydrant-calc.exe"
  StrCmp $R8 "" 0 +2
  StrCpy $R8 "$INSTDIR\hydrant-calc.exe"
  GetFullPathName /SHORT $R9 "$INSTDIR\hydrant-calc-manual.html"
  StrCmp $R9 "" 0 +2
  StrCpy $R9 "$INSTDIR\hydrant-calc-manual.html"
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO
  ; A re-install replaces hydrant-calc.exe, which Windows does not allow while it runs.
  Call closeRunningProgram
  ; A copy in another folder goes first, shortcuts and all, so none is left orphaned; its
  ; uninstaller returns when its folder is gone.
  ReadRegStr $previous HKLM "${UNINSTALL_KEY}" "InstallLocation"
  StrCmp $previous "" copy
  StrCmp $previous $INSTDIR copy
  IfFileExists "$previous\uninstall.exe" 0 copy
  ExecWait '"$previous\uninstall.exe" /S _?=$previous'
  ; Its uninstaller has ended: what it could not remove of itself goes now.
  Delete "$previous\uninstall.exe"
  RMDir "$previous"
copy:
  SetOutPath "$INSTDIR"
  File "/oname=hydrant-calc.exe" "${WINDOW_EXE}"
  File "/oname=hydrant-calc-cli.exe" "${CLI_EXE}"
  File "/oname=hydrant-calc-manual.html" "${MANUAL}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  Call shortTargets
  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" $R8
  CreateShortcut "$SMPROGRAMS\${MANUAL_SHORTCUT}" $R9

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\hydrant-calc.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  ; Returns only when everything is removed: the uninstaller run in place (_?=) waits, but
  ; cannot delete itself while it runs; cmd does that after it, and gives its exit code.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" \
    '"$SYSDIR\cmd.exe" /c ""$INSTDIR\uninstall.exe" /S _?=$INSTDIR&& del "$INSTDIR\uninstall.exe" && rmdir "$INSTDIR""'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "桌面快捷方式" SecDesktop
  Call shortTargets
  CreateShortcut "$DESKTOP\${SHORTCUT}" $R8
SectionEnd

Section "Uninstall"
  ; Out of the folder that is to go: a process's current folder cannot be removed.
  SetOutPath "$TEMP"
  Call un.closeRunningProgram
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
