; The Kestrin setup program for Windows 7 SP1 to 11, 32- and 64-bit (NSIS 3,
; Unicode, a 32-bit program like kestrin.exe itself).
;
; It installs for the current user, with no administrator rights, under the
; user's local programs folder; makes the Start-menu entry and (a choice, ticked
; by default) a desktop shortcut, both starting Kestrin in Documents\Kestrin速算
; so that worksheet files land in a folder the teacher can write to and find;
; and registers itself in Windows' list of installed apps. The uninstaller
; removes what the setup made and never the teacher's worksheet files.
; /S installs and uninstalls silently.
;
; makensis -DVERSION=2.0 -DVERSION_QUAD=2.0.0.0 -DSTAGE=<folder with kestrin.exe, LICENSE.txt,
;          THIRD-PARTY-NOTICES.txt and 使用说明.txt> -DOUTFILE=<setup.exe> kestrin.nsi

Unicode true
Target x86-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!ifndef VERSION | VERSION_QUAD | STAGE | OUTFILE
  !error "VERSION, VERSION_QUAD, STAGE and OUTFILE must be defined"
!endif

!define PRODUCT "Kestrin 速算自动出题系统"
!define PUBLISHER "Kestrin developers"
!define SHORTCUT "${PRODUCT}.lnk"
!define WORK_FOLDER "$DOCUMENTS\Kestrin速算"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrin"
!define SETTINGS_KEY "Software\Kestrin"
!define SOURCE_ARCHIVE "Kestrin-${VERSION}-source.tar.xz"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kestrin"
; A newer version goes where the older one is.
InstallDirRegKey HKCU "${SETTINGS_KEY}" "InstallDir"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Copyright © 2026 the Kestrin developers. GNU GPL v3 or later."

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

!define MUI_ICON "${STAGE}\kestrin.ico"
!define MUI_UNICON "${STAGE}\kestrin.ico"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "本向导将在您的电脑上安装 ${PRODUCT} ${VERSION}。$\r$\n$\r$\n\
不需要管理员权限：程序只为当前用户安装。生成的 Excel 试题文件保存在“文档”里的\
“Kestrin速算”文件夹中。$\r$\n$\r$\n\
Kestrin 是自由软件，按 GNU 通用公共许可证第 3 版（或更新版本）发布。程序及其所用 Qt 的\
完整源代码见与本安装程序一同发布的 ${SOURCE_ARCHIVE}。$\r$\n$\r$\n\
点击“下一步”继续。"
!insertmacro MUI_PAGE_WELCOME
!define MUI_LICENSEPAGE_TEXT_BOTTOM "这是 GNU 通用公共许可证。您可以自由使用、复制和分发本程序；\
完整源代码见 ${SOURCE_ARCHIVE}。"
!define MUI_LICENSEPAGE_BUTTON "下一步(&N) >"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartKestrin
!define MUI_FINISHPAGE_RUN_TEXT "启动 ${PRODUCT}"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

Section "Kestrin 程序（必需）" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\kestrin.exe"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\THIRD-PARTY-NOTICES.txt"
  File "${STAGE}\使用说明.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; An older version's desktop shortcut goes when this one is not wanted; the
  ; next section makes it anew when it is.
  Delete "$DESKTOP\${SHORTCUT}"
  ; The working folder of the shortcuts is the folder worksheet files go to.
  CreateDirectory "${WORK_FOLDER}"
  SetOutPath "${WORK_FOLDER}"
  CreateShortCut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\kestrin.exe" "" "$INSTDIR\kestrin.exe" 0 \
    SW_SHOWNORMAL "" "为小学数学课自动出速算练习题"

  WriteRegStr HKCU "${SETTINGS_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kestrin.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "桌面快捷方式" SecDesktop
  SetOutPath "${WORK_FOLDER}"
  CreateShortCut "$DESKTOP\${SHORTCUT}" "$INSTDIR\kestrin.exe" "" "$INSTDIR\kestrin.exe" 0 \
    SW_SHOWNORMAL "" "为小学数学课自动出速算练习题"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "程序本身、使用说明和许可证，以及“开始”菜单中的快捷方式。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "在桌面上放一个启动 Kestrin 的快捷方式。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; On 64-bit Windows this 32-bit setup reads and writes the registry's 64-bit
; view, where an earlier 64-bit Kestrin setup registered itself: an upgrade
; replaces that installation and its entry in the list of apps, never a second.
Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Function StartKestrin
  SetOutPath "${WORK_FOLDER}"
  Exec '"$INSTDIR\kestrin.exe"'
FunctionEnd

Section "Uninstall"
  Delete "$INSTDIR\kestrin.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\使用说明.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: nothing of the teacher's is removed.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$DESKTOP\${SHORTCUT}"
  ; The worksheet folder stays while it holds worksheet files.
  RMDir "${WORK_FOLDER}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd
