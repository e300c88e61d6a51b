; The setup program. makensis is given (-D): VERSION ("1.02"), VERSION4
; ("1.2.32.0"), STAGE (the folder with the files to install), ICON, OUTFILE.
;
; Without administrator rights it installs for the current user into
; %LOCALAPPDATA%\Programs\Ravozorizi and registers under HKCU; run elevated,
; for all users into Program Files and under HKLM. /CURRENTUSER and
; /ALLUSERS choose explicitly, /S installs silently, /D=FOLDER elsewhere.
; The marker file tells lk.exe that it is installed, so that it keeps its
; files in %APPDATA%\Ravozorizi even where it could write beside itself.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Ravozorizi"
!define PUBLISHER "Tessfold"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define MARKER "lk-installed.txt"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    ; Elevated (or told so): every user's; otherwise this user's alone.
    UserInfo::GetAccountType
    Pop $0
    ${GetParameters} $1
    ClearErrors
    ${GetOptions} $1 "/ALLUSERS" $2
    ${IfNot} ${Errors}
        StrCpy $0 "Admin"
    ${EndIf}
    ClearErrors
    ${GetOptions} $1 "/CURRENTUSER" $2
    ${IfNot} ${Errors}
        StrCpy $0 "User"
    ${EndIf}
    ${If} $0 == "Admin"
        SetShellVarContext all
        StrCpy $2 "$PROGRAMFILES64\${PRODUCT}"
    ${Else}
        SetShellVarContext current
        StrCpy $2 "$LOCALAPPDATA\Programs\${PRODUCT}"
    ${EndIf}
    ; /D= has set the folder already.
    ${If} $INSTDIR == ""
        StrCpy $INSTDIR $2
    ${EndIf}
FunctionEnd

Section
    SetOutPath "$INSTDIR"
    File "${STAGE}\lk.exe"
    File "${STAGE}\lk-help.htm"
    File "${STAGE}\lktool.exe"
    File "${STAGE}\README.txt"
    File "${STAGE}\LICENSE.txt"
    FileOpen $0 "$INSTDIR\${MARKER}" w
    FileWrite $0 "Installed by the ${PRODUCT} setup program: lk.exe keeps its bookmarks (lk.htm)$\r$\n"
    FileWrite $0 "and options (lk.ini) in %APPDATA%\${PRODUCT}, unless they are in this folder.$\r$\n"
    FileClose $0
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\lk.exe"

    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lk.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
    ; Installed for all users when the machine-wide entry names this folder.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
FunctionEnd

; The program's files only: the user's lk.htm, lk.htm.bak and lk.ini, beside
; it or in %APPDATA%, stay, and with them the folder that holds them.
Section "Uninstall"
    Delete "$INSTDIR\lk.exe"
    Delete "$INSTDIR\lk-help.htm"
    Delete "$INSTDIR\lktool.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\${MARKER}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
