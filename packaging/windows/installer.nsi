; The Windows installer of VRX Config, made by build.sh with Debian's makensis:
;   makensis -DVERSION=1.0.0 -DSTAGE=<staged files> -DFILELIST=<dir> -DICON=<.ico> -DOUTFILE=<setup.exe> installer.nsi
; Installs for every user of the computer into Program Files, adds the window to the Start menu,
; registers its uninstaller in Apps, and lets the two programs that talk to readers receive UDP through
; Windows Firewall: replies to a broadcast come from addresses the computer did not send to. Optionally
; puts vrxctl on PATH. It changes nothing else, and the uninstaller takes all of it back.
;
; Silent use: setup.exe /S [/VRXCTLPATH] [/D=folder]   uninstall.exe /S

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include StrFunc.nsh
!include WinMessages.nsh
${Using:StrFunc} UnStrRep
${Using:StrFunc} StrStr

!define PRODUCT "VRX Config"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\vrx-config"
!define ENVIRONMENT_KEY "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "VRX Config developers"
VIAddVersionKey /LANG=0 "LegalCopyright" "VRX Config developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\vrx-config.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first language is the one used where Windows speaks neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString FirewallRule ${LANG_ENGLISH} "VRX Config"
LangString FirewallRule ${LANG_SIMPCHINESE} "VRX Config"
LangString PathTooLong ${LANG_ENGLISH} "PATH is too long to change safely; vrxctl was not put on it."
LangString PathTooLong ${LANG_SIMPCHINESE} "PATH 太长，无法安全修改；vrxctl 未加入 PATH。"

; The two programs that bind the readers' port; the simulator is for trying things out and stays behind
; the firewall.
!macro FirewallRules VERB
    nsExec::ExecToLog 'netsh advfirewall firewall ${VERB} rule name="VRX Config (vrx-config)" dir=in program="$INSTDIR\vrx-config.exe" protocol=UDP ${FIREWALL_ALLOW}'
    Pop $0
    DetailPrint "netsh ${VERB} rule vrx-config: $0"
    nsExec::ExecToLog 'netsh advfirewall firewall ${VERB} rule name="VRX Config (vrxctl)" dir=in program="$INSTDIR\vrxctl.exe" protocol=UDP ${FIREWALL_ALLOW}'
    Pop $0
    DetailPrint "netsh ${VERB} rule vrxctl: $0"
!macroend

Section "VRX Config" SectionProgram
    SectionIn RO
    SetShellVarContext all
    SetRegView 64
    SetOutPath "$INSTDIR"
    !include "${FILELIST}\install-files.nsh"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    SetOutPath "$INSTDIR"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\vrx-config.exe" "" "$INSTDIR\vrx-config.exe" 0 SW_SHOWNORMAL "" "VRX系列在线配置软件"

    !define FIREWALL_ALLOW "action=allow enable=yes profile=any"
    !insertmacro FirewallRules add
    !undef FIREWALL_ALLOW

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "VRX Config developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vrx-config.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The install folder joins the system PATH, so that vrxctl runs from any command prompt.
Section /o "vrxctl on PATH" SectionPath
    SetRegView 64
    ReadRegStr $0 HKLM "${ENVIRONMENT_KEY}" "Path"
    StrLen $1 $0
    ; makensis's strings hold 1024 characters: a longer PATH would come back cut off, so it is not touched.
    ${If} $1 >= 1000
        DetailPrint "$(PathTooLong)"
        Return
    ${EndIf}
    ${StrStr} $2 "$0;" "$INSTDIR;"
    ${If} $2 == ""
        ${If} $0 == ""
            StrCpy $0 "$INSTDIR"
        ${Else}
            StrCpy $0 "$0;$INSTDIR"
        ${EndIf}
        WriteRegExpandStr HKLM "${ENVIRONMENT_KEY}" "Path" "$0"
        WriteRegDWORD HKLM "${UNINSTALL_KEY}" "AddedToPath" 1
        SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=2000
    ${EndIf}
SectionEnd

Function .onInit
    SetRegView 64
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/VRXCTLPATH" $1
    ${IfNot} ${Errors}
        SectionSetFlags ${SectionPath} ${SF_SELECTED}
    ${EndIf}
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    SetRegView 64

    ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "AddedToPath"
    ${If} $0 == 1
        ReadRegStr $1 HKLM "${ENVIRONMENT_KEY}" "Path"
        StrLen $2 $1
        ${If} $2 < 1000
            ${UnStrRep} $1 "$1" ";$INSTDIR" ""
            ${UnStrRep} $1 "$1" "$INSTDIR;" ""
            ${If} $1 == "$INSTDIR"
                StrCpy $1 ""
            ${EndIf}
            WriteRegExpandStr HKLM "${ENVIRONMENT_KEY}" "Path" "$1"
            SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=2000
        ${Else}
            DetailPrint "$(PathTooLong)"
        ${EndIf}
    ${EndIf}

    !define FIREWALL_ALLOW ""
    !insertmacro FirewallRules delete
    !undef FIREWALL_ALLOW

    Delete "${SHORTCUT}"
    !include "${FILELIST}\uninstall-files.nsh"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
