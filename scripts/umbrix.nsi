; Installer of Umbrix (NSIS, Modern UI 2): welcome, components, folder, installation, and a
; finish page that can start Umbrix and put a shortcut on the desktop. Installs the program in
; Program Files, a Start-menu folder, an uninstaller with its entry in Programs and Features and,
; unless the user leaves them out on the components page, two entries in Explorer's right-click
; menu of folders and of a folder's background, for all users.
;   makensis -INPUTCHARSET UTF8 -DEXE=<path of umbrix.exe> -DOUTFILE=<path of umbrix-setup.exe>
;            [-DSIGN=<command that signs the file it is given in place>] umbrix.nsi
; Silent: umbrix-setup.exe /S [/DESKTOP] (the menu entries included, the desktop shortcut only
; when asked), and uninstall.exe /S in the installation folder.
Unicode true
; Drawn at the screen's DPI instead of stretched by the system, like the program.
ManifestDPIAware true
Target amd64-unicode
SetCompressor /SOLID lzma
; The same input gives the same setup program: no file times of the build machine inside.
SetDateSave off

; The version is the one in umbrix.exe's version resource.
!getdllversion "${EXE}" UMBRIX_VERSION_
!define VERSION "${UMBRIX_VERSION_1}.${UMBRIX_VERSION_2}.${UMBRIX_VERSION_3}.${UMBRIX_VERSION_4}"
!define PUBLISHER "Umbrix team"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Umbrix"
; The right-click menu's verbs, in the machine's classes (HKLM, never through HKCR, which may
; be the user's): folders get the folder as %1, a folder's background gets it as %V.
!define FOLDER_VERBS "Software\Classes\Directory\shell"
!define BACKGROUND_VERBS "Software\Classes\Directory\Background\shell"

; A signed release signs the uninstaller before it is packed, and the finished setup program.
!ifdef SIGN
    !uninstfinalize '"${SIGN}" "%1"' = 0
    !finalize '"${SIGN}" "%1"' = 0
!endif

Name "Umbrix"
Caption "Umbrix ${VERSION} Setup"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Umbrix"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

!include MUI2.nsh
!include FileFunc.nsh

!define MUI_ICON "${__FILEDIR__}\..\res\umbrix.ico"
!define MUI_UNICON "${__FILEDIR__}\..\res\umbrix.ico"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Umbrix starten"
!define MUI_FINISHPAGE_RUN_FUNCTION StartUnelevated
; The finish page's second check box makes the desktop shortcut.
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Verknüpfung auf dem Desktop anlegen"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION CreateDesktopShortcut
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "German"

; The setup program's own version resource.
VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductName" "Umbrix"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileDescription" "Umbrix Setup"
VIAddVersionKey /LANG=${LANG_GERMAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_GERMAN} "LegalCopyright" "© 2026 ${PUBLISHER}"

;   WriteMenuEntry KEY TEXT SWITCH: one verb, for folders and for a folder's background.
!macro WriteMenuEntry KEY TEXT SWITCH
    WriteRegStr HKLM "${FOLDER_VERBS}\${KEY}" "" "${TEXT}"
    WriteRegStr HKLM "${FOLDER_VERBS}\${KEY}" "Icon" "$INSTDIR\umbrix.exe,0"
    WriteRegStr HKLM "${FOLDER_VERBS}\${KEY}\command" "" '"$INSTDIR\umbrix.exe" ${SWITCH} "%1"'
    WriteRegStr HKLM "${BACKGROUND_VERBS}\${KEY}" "" "${TEXT}"
    WriteRegStr HKLM "${BACKGROUND_VERBS}\${KEY}" "Icon" "$INSTDIR\umbrix.exe,0"
    WriteRegStr HKLM "${BACKGROUND_VERBS}\${KEY}\command" "" '"$INSTDIR\umbrix.exe" ${SWITCH} "%V"'
!macroend

!macro RemoveMenuEntries
    DeleteRegKey HKLM "${FOLDER_VERBS}\UmbrixKlein"
    DeleteRegKey HKLM "${FOLDER_VERBS}\UmbrixGross"
    DeleteRegKey HKLM "${BACKGROUND_VERBS}\UmbrixKlein"
    DeleteRegKey HKLM "${BACKGROUND_VERBS}\UmbrixGross"
!macroend

; The setup runs elevated; Umbrix renames the user's files and must run with the user's own
; rights. The shell of the logged-in user starts it, as a double-click would.
Function StartUnelevated
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\umbrix.exe"'
FunctionEnd

Function CreateDesktopShortcut
    SetShellVarContext all
    CreateShortCut "$DESKTOP\Umbrix.lnk" "$INSTDIR\umbrix.exe"
FunctionEnd

Section "Umbrix" SecProgram
    SectionIn RO
    SetShellVarContext all
    SetRegView 64
    SetOutPath "$INSTDIR"
    File "/oname=umbrix.exe" "${EXE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateDirectory "$SMPROGRAMS\Umbrix"
    CreateShortCut "$SMPROGRAMS\Umbrix\Umbrix.lnk" "$INSTDIR\umbrix.exe"
    CreateShortCut "$SMPROGRAMS\Umbrix\Umbrix entfernen.lnk" "$INSTDIR\uninstall.exe"
    ; Silent installs have no finish page: /DESKTOP asks for the desktop shortcut.
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/DESKTOP" $1
    ${IfNot} ${Errors}
        Call CreateDesktopShortcut
    ${EndIf}

    ; The entry in Programs and Features.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Umbrix"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\umbrix.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "https://umbrix.example.org"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${UMBRIX_VERSION_1}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${UMBRIX_VERSION_2}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; Installed again without the menu entries: those of the earlier installation go.
    !insertmacro RemoveMenuEntries
SectionEnd

Section "Explorer-Kontextmenü" SecMenu
    SetRegView 64
    !insertmacro WriteMenuEntry UmbrixKlein "Dateinamen in Kleinbuchstaben" /klein
    !insertmacro WriteMenuEntry UmbrixGross "Dateinamen in Großbuchstaben" /gross
SectionEnd

LangString DESC_SecProgram ${LANG_GERMAN} "Umbrix selbst, mit Eintrag im Startmenü."
LangString DESC_SecMenu ${LANG_GERMAN} "Zwei Einträge im Rechtsklick-Menü eines Ordners (auch in einem geöffneten Ordner): Dateinamen in Klein- oder Großbuchstaben."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DESC_SecProgram)
    !insertmacro MUI_DESCRIPTION_TEXT ${SecMenu} $(DESC_SecMenu)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
    SetShellVarContext all
    SetRegView 64
    Delete "$DESKTOP\Umbrix.lnk"
    Delete "$SMPROGRAMS\Umbrix\Umbrix.lnk"
    Delete "$SMPROGRAMS\Umbrix\Umbrix entfernen.lnk"
    RMDir "$SMPROGRAMS\Umbrix"
    Delete "$INSTDIR\umbrix.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    !insertmacro RemoveMenuEntries
SectionEnd
