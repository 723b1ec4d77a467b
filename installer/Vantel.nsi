; Vantel's per-user installer (NSIS 3, Unicode, 64-bit). Made by scripts/package, which passes
;   -DVERSION=<x.y.z> -DEXE=<Vantel.exe> -DGUIDE=<使用说明.txt> -DLICENSE=<LICENSE.txt> -DOUTFILE=<setup.exe>
; No administrator rights: the program goes to %LOCALAPPDATA%\Programs\Vantel, its working folder (where
; SystemConfig.xml lives) is %APPDATA%\Vantel, and the uninstaller keeps that folder unless asked not to.
; Vantel.installed beside the program tells it that it is installed: it then works in %APPDATA%\Vantel
; however it is started, and logs to %LOCALAPPDATA%\Vantel.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

!define PRODUCT "Vantel"
!define PUBLISHER "Vantel"
!define WEBSITE "https://www.example.com/vantel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantel"
!define WORKDIR "$APPDATA\Vantel"
!define STARTMENU_LINK "$SMPROGRAMS\Vantel.lnk"
!define STARTUP_LINK "$SMSTARTUP\Vantel.lnk"
!define MARKER "Vantel.installed"
!define LOGDIR "$LOCALAPPDATA\Vantel"

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} ${VERSION} 安装"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vantel"
; An upgrade goes where the user put the program the first time.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "MIT License"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "现在启动 Vantel"
!define MUI_FINISHPAGE_RUN_FUNCTION StartVantel

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; Read by the next page only: the finish page.
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

; Ends every running Vantel started from the installed program file through its instance window (the
; registered message "Vantel.Close" does what the tray menu's close command does), after asking once;
; a portable copy elsewhere runs on. Then waits until the program file can be written. A silent run
; closes without asking.
!macro CLOSE_VANTEL un
; $0: the next instance window after $0 whose process runs the file named in $4, or 0.
Function ${un}FindInstalledVantel
  Push $5
  Push $6
  Push $7
  ${Do}
    ; HWND_MESSAGE (-3): the instance window is a message-only window.
    System::Call 'user32::FindWindowExW(p -3, p r0, w "VantelInstance", p 0) p .r0'
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r5)'
    ; PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r5) p .r6'
    StrCpy $7 ""
    ${If} $6 != 0
      System::Call 'kernel32::QueryFullProcessImageNameW(p r6, i 0, w .r7, *i ${NSIS_MAX_STRLEN})'
      System::Call 'kernel32::CloseHandle(p r6)'
    ${EndIf}
    ; StrCmp: case-insensitive, as the file system compares names.
    ${If} $7 == $4
      ${Break}
    ${EndIf}
  ${Loop}
  Pop $7
  Pop $6
  Pop $5
FunctionEnd

Function ${un}CloseVantel
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  System::Call 'user32::RegisterWindowMessageW(w "Vantel.Close") i .r1'
  ; The program file as the system names a running image: long names.
  StrCpy $4 "$INSTDIR\Vantel.exe"
  System::Call 'kernel32::GetLongPathNameW(w r4, w .r5, i ${NSIS_MAX_STRLEN}) i .r3'
  ${If} $3 > 0
    StrCpy $4 $5
  ${EndIf}
  StrCpy $2 0
  ${Do}
    StrCpy $0 0
    Call ${un}FindInstalledVantel
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    ${If} $2 == 0
      MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Vantel 正在运行。$\r$\n点“确定”关闭它并继续，点“取消”退出。" /SD IDOK IDOK +2
      Quit
    ${EndIf}
    IntOp $2 $2 + 1
    System::Call 'user32::SendMessageTimeoutW(p r0, i r1, p 0, p 0, i 2, i 5000, *p .r3)'
    Sleep 200
    ${If} $2 > 100
      ${Break}
    ${EndIf}
  ${Loop}
  ; The window goes before the process: wait until the file is free.
  StrCpy $2 0
  ${DoWhile} ${FileExists} "$INSTDIR\Vantel.exe"
    ClearErrors
    FileOpen $3 "$INSTDIR\Vantel.exe" a
    ${IfNot} ${Errors}
      FileClose $3
      ${Break}
    ${EndIf}
    IntOp $2 $2 + 1
    ${If} $2 > 50
      ${Break}
    ${EndIf}
    Sleep 200
  ${Loop}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_VANTEL ""
!insertmacro CLOSE_VANTEL "un."

; $0: 1 when the installer runs elevated ("以管理员身份运行", or an account without UAC), else 0.
Function IsElevated
  Push $1
  Push $2
  Push $3
  StrCpy $0 0
  ; GetCurrentProcess() is -1; TOKEN_QUERY (8); TokenElevation (20).
  System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r1) i .r2'
  ${If} $2 != 0
    System::Call 'advapi32::GetTokenInformation(p r1, i 20, *i .r3, i 4, *i .r2) i .r2'
    ${If} $2 != 0
    ${AndIf} $3 != 0
      StrCpy $0 1
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

; An elevated installer would start Vantel elevated: the user's next start from the Start menu could not
; open its mutex and would make a second ring saving the same file, and Windows keeps Explorer's drags
; away from it. So an elevated installer does not start it and says so on its last page.
Function FinishShow
  Push $0
  Call IsElevated
  ${If} $0 == 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
    SendMessage $mui.FinishPage.Text ${WM_SETTEXT} 0 "STR:Vantel 已安装。$\r$\n$\r$\n安装程序正以管理员身份运行，不会启动 Vantel：以管理员身份运行的 Vantel 无法接收拖放的文件。请从“开始”菜单启动 Vantel。$\r$\n$\r$\n点“完成”关闭安装程序。"
  ${EndIf}
  Pop $0
FunctionEnd

Function StartVantel
  Push $0
  Call IsElevated
  ${If} $0 == 0
    SetOutPath "${WORKDIR}"
    Exec '"$INSTDIR\Vantel.exe"'
  ${EndIf}
  Pop $0
FunctionEnd

Section "Vantel 程序" SecProgram
  SectionIn RO
  SetShellVarContext current
  Call CloseVantel
  SetOutPath "$INSTDIR"
  File "/oname=Vantel.exe" "${EXE}"
  File "/oname=使用说明.txt" "${GUIDE}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; Tells the program it is installed: it works in ${WORKDIR} even when started from this folder.
  FileOpen $0 "$INSTDIR\${MARKER}" w
  FileWrite $0 "Vantel 安装程序写入：本程序的工作文件夹是 %APPDATA%\Vantel。$\r$\n"
  FileClose $0

  ; The working folder keeps the user's buttons: made once, never replaced.
  CreateDirectory "${WORKDIR}"
  ; A first installation starts with the two colours and no buttons (the ring shows four empty
  ; segments), so the first start has a file to store drops in and nothing to report.
  ${IfNot} ${FileExists} "${WORKDIR}\SystemConfig.xml"
    FileOpen $0 "${WORKDIR}\SystemConfig.xml" w
    FileWrite $0 '<?xml version="1.0" encoding="GB2312"?>$\r$\n'
    FileWrite $0 '<Settings HotColor="-65536" DefaultColor="-16744193"></Settings>$\r$\n'
    FileClose $0
  ${EndIf}
  ; A shortcut's working folder is the output path when it is made.
  SetOutPath "${WORKDIR}"
  CreateShortCut "${STARTMENU_LINK}" "$INSTDIR\Vantel.exe" "" "$INSTDIR\Vantel.exe" 0 SW_SHOWNORMAL "" "Vantel 桌面圆环启动器"
  ; An upgrade without the start-up choice drops the old start-up shortcut.
  Delete "${STARTUP_LINK}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vantel.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${WEBSITE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "开机启动" SecStartup
  SetShellVarContext current
  SetOutPath "${WORKDIR}"
  CreateShortCut "${STARTUP_LINK}" "$INSTDIR\Vantel.exe" "" "$INSTDIR\Vantel.exe" 0 SW_SHOWNORMAL "" "Vantel 桌面圆环启动器"
SectionEnd

Section "un.Vantel 程序" UnSecProgram
  SectionIn RO
  SetShellVarContext current
  Call un.CloseVantel
  Delete "${STARTMENU_LINK}"
  Delete "${STARTUP_LINK}"
  Delete "$INSTDIR\Vantel.exe"
  Delete "$INSTDIR\使用说明.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$INSTDIR\${MARKER}"
  RMDir "$INSTDIR"
  ; The log is the program's, not the user's.
  Delete "${LOGDIR}\Vantel.log"
  Delete "${LOGDIR}\Vantel.log.1"
  RMDir "${LOGDIR}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.删除我的按钮和设置（%APPDATA%\Vantel）" UnSecConfig
  SetShellVarContext current
  RMDir /r "${WORKDIR}"
SectionEnd

; Installed for another account than the signed-in user (started with "Run as administrator" and an
; administrator's password, say), the program, its shortcuts and its working folder would land in that
; account's profile: the installer says so and stops.
Function CheckAccount
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  System::Call 'advapi32::GetUserNameW(w .r0, *i ${NSIS_MAX_STRLEN}) i .r1'
  ; WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSUserName: the session's signed-in user.
  System::Call 'wtsapi32::WTSQuerySessionInformationW(p 0, i -1, i 5, *p .r2, *i .r4) i .r3'
  ${If} $1 != 0
  ${AndIf} $3 != 0
    System::Call 'kernel32::lstrcpynW(w .r3, p r2, i ${NSIS_MAX_STRLEN})'
    System::Call 'wtsapi32::WTSFreeMemory(p r2)'
    ${If} $3 != ""
    ${AndIf} $3 != $0
      MessageBox MB_OK|MB_ICONEXCLAMATION "安装程序正以帐户“$0”运行，但登录 Windows 的是“$3”。$\r$\nVantel 只为运行安装程序的帐户安装，装到“$0”那里“$3”就用不上。$\r$\n请直接双击安装程序（不要选“以管理员身份运行”或其他用户）。" /SD IDOK
      SetErrorLevel 5
      Quit
    ${EndIf}
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Function .onInit
  SetShellVarContext current
  Call CheckAccount
  ; An upgrade keeps the user's start-with-Windows choice: the start-up shortcut there now.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIfNot} ${FileExists} "${STARTUP_LINK}"
    !insertmacro UnselectSection ${SecStartup}
  ${EndIf}
FunctionEnd
