; Installer of Umbrix (NSIS, Modern UI 2): welcome, components, folder, installation, and a
; finish page that can start Umbrix and put a shortcut on the desktop. Installs the program
; (umbrix.exe, and umbrix.com for the console) in Program Files, registers it under App Paths,
; adds a Start-menu folder, an uninstaller with its entry in Programs and Features and, as the
; components page chooses, for all users: the cascading "Umbrix" entry in Explorer's right-click
; menu of folders, a folder's background and drives (on by default), and the installation
; folder on the machine's PATH (off by default).
;   makensis -INPUTCHARSET UTF8 -DEXE=<umbrix.exe> -DCOM=<umbrix.com> -DPATHTOOL=<umbrix-path.exe>
;            -DOUTFILE=<path of umbrix-setup.exe> [-DSIGN=<command that signs a file in place>] umbrix.nsi
; Silent: umbrix-setup.exe /S [/DESKTOP] [/NOMENU] [/PATH] (the menu included unless /NOMENU,
; PATH only with /PATH, the desktop shortcut only when asked), and uninstall.exe /S in the
; installation folder.
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
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\umbrix.exe"
; The right-click menu's verbs, in the machine's classes (HKLM, never through HKCR, which may
; be the user's): folders and drives get the folder as %1 (a drive as "D:\", which the
; program's own reading of its command line keeps), a folder's background gets it as %V.
!define FOLDER_VERBS "Software\Classes\Directory\shell"
!define BACKGROUND_VERBS "Software\Classes\Directory\Background\shell"
!define DRIVE_VERBS "Software\Classes\Drive\shell"

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
!include LogicLib.nsh
!include Sections.nsh

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

;   MenuEntry BASE KEY TEXT ARGUMENTS: one entry of the cascade under BASE. Its key orders the
;   entries; the command starts umbrix.exe with the arguments.
!macro MenuEntry BASE KEY TEXT ARGUMENTS
    WriteRegStr HKLM "${BASE}\Umbrix\shell\${KEY}" "MUIVerb" "${TEXT}"
    WriteRegStr HKLM "${BASE}\Umbrix\shell\${KEY}\command" "" '"$INSTDIR\umbrix.exe" ${ARGUMENTS}'
!macroend

;   MenuCascade BASE PLACEHOLDER: the cascading entry "Umbrix" with Umbrix's icon under BASE,
;   the folder put in as PLACEHOLDER (%1 or %V). A new entry is one more line here.
!macro MenuCascade BASE PLACEHOLDER
    WriteRegStr HKLM "${BASE}\Umbrix" "MUIVerb" "Umbrix"
    WriteRegStr HKLM "${BASE}\Umbrix" "Icon" "$INSTDIR\umbrix.exe,0"
    WriteRegStr HKLM "${BASE}\Umbrix" "SubCommands" ""
    !insertmacro MenuEntry "${BASE}" "1klein" "Dateinamen in Kleinbuchstaben" '/klein "${PLACEHOLDER}"'
    !insertmacro MenuEntry "${BASE}" "2gross" "Dateinamen in Großbuchstaben" '/gross "${PLACEHOLDER}"'
    !insertmacro MenuEntry "${BASE}" "3endung" "Dateiendungen in Kleinbuchstaben" '/klein /endung "${PLACEHOLDER}"'
    !insertmacro MenuEntry "${BASE}" "9rueckgaengig" "Letzte Umbenennung rückgängig machen" "/rueckgaengig"
!macroend

!macro RemoveMenuEntries
    DeleteRegKey HKLM "${FOLDER_VERBS}\Umbrix"
    DeleteRegKey HKLM "${BACKGROUND_VERBS}\Umbrix"
    DeleteRegKey HKLM "${DRIVE_VERBS}\Umbrix"
    ; The two loose entries of earlier versions.
    DeleteRegKey HKLM "${FOLDER_VERBS}\UmbrixKlein"
    DeleteRegKey HKLM "${FOLDER_VERBS}\UmbrixGross"
    DeleteRegKey HKLM "${BACKGROUND_VERBS}\UmbrixKlein"
    DeleteRegKey HKLM "${BACKGROUND_VERBS}\UmbrixGross"
!macroend

; umbrix-path.exe add|remove FOLDER: the machine's PATH changed without NSIS's limit of 1,024
; characters per string, every other entry kept. Its exit code in $0: 0 changed, 1 nothing to
; do. It runs from the setup's own temporary folder, which is then left, so that it can go.
!macro SearchPath VERB FOLDER
    InitPluginsDir
    SetOutPath "$PLUGINSDIR"
    File "/oname=$PLUGINSDIR\umbrix-path.exe" "${PATHTOOL}"
    ExecWait '"$PLUGINSDIR\umbrix-path.exe" ${VERB} ${FOLDER}' $0
    SetOutPath "$TEMP"
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
    File "/oname=umbrix.com" "${COM}"
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

    ; "umbrix" from Windows+R and the shell's programs by name.
    WriteRegStr HKLM "${APP_PATHS_KEY}" "" "$INSTDIR\umbrix.exe"
    WriteRegStr HKLM "${APP_PATHS_KEY}" "Path" "$INSTDIR"

    ; Installed again without the menu entries: those of the earlier installation go.
    !insertmacro RemoveMenuEntries
SectionEnd

Section "Explorer-Kontextmenü" SecMenu
    SetRegView 64
    !insertmacro MenuCascade "${FOLDER_VERBS}" "%1"
    !insertmacro MenuCascade "${BACKGROUND_VERBS}" "%V"
    !insertmacro MenuCascade "${DRIVE_VERBS}" "%1"
SectionEnd

; Off by default: it changes every user's environment. The uninstaller takes away only the
; entry this setup added (PathEntry in the uninstall entry), never one the user had.
Section /o "Suchpfad (PATH)" SecPath
    SetRegView 64
    !insertmacro SearchPath add "$INSTDIR"
    ${If} $0 == 0
        WriteRegStr HKLM "${UNINSTALL_KEY}" "PathEntry" "$INSTDIR"
    ${ElseIf} $0 != 1
        DetailPrint "Der Suchpfad (PATH) konnte nicht geändert werden."
    ${EndIf}
SectionEnd

LangString DESC_SecProgram ${LANG_GERMAN} "Umbrix selbst (umbrix.exe, und umbrix.com für die Eingabeaufforderung), mit Eintrag im Startmenü."
LangString DESC_SecMenu ${LANG_GERMAN} "Der Eintrag Umbrix im Rechtsklick-Menü von Ordnern, Laufwerken und geöffneten Ordnern: Dateinamen in Klein- oder Großbuchstaben, Dateiendungen in Kleinbuchstaben, letzte Umbenennung rückgängig machen."
LangString DESC_SecPath ${LANG_GERMAN} "Den Installationsordner dem Suchpfad (PATH) hinzufügen, damit umbrix in der Eingabeaufforderung und in PowerShell beim Namen gefunden wird."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DESC_SecProgram)
    !insertmacro MUI_DESCRIPTION_TEXT ${SecMenu} $(DESC_SecMenu)
    !insertmacro MUI_DESCRIPTION_TEXT ${SecPath} $(DESC_SecPath)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; For silent installs (also honoured with pages): /NOMENU leaves the menu out, /PATH adds the
; folder to PATH.
Function .onInit
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/NOMENU" $R1
    ${IfNot} ${Errors}
        !insertmacro UnselectSection ${SecMenu}
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/PATH" $R1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecPath}
    ${EndIf}
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    SetRegView 64
    ; Only the entry the setup added, as it wrote it.
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "PathEntry"
    ${If} $1 != ""
        !insertmacro SearchPath remove "$1"
    ${EndIf}
    Delete "$DESKTOP\Umbrix.lnk"
    Delete "$SMPROGRAMS\Umbrix\Umbrix.lnk"
    Delete "$SMPROGRAMS\Umbrix\Umbrix entfernen.lnk"
    RMDir "$SMPROGRAMS\Umbrix"
    Delete "$INSTDIR\umbrix.exe"
    Delete "$INSTDIR\umbrix.com"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "${APP_PATHS_KEY}"
    !insertmacro RemoveMenuEntries
SectionEnd
