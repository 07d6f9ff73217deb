; Installer of Umbrix: the program in Program Files, a Start-menu entry and an uninstaller.
;   makensis -DEXE=<path of umbrix.exe> -DOUTFILE=<path of umbrix-setup.exe> umbrix.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

Name "Umbrix"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Umbrix"
RequestExecutionLevel admin
ShowInstDetails show

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Umbrix"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Umbrix"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "/oname=umbrix.exe" "${EXE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateDirectory "$SMPROGRAMS\Umbrix"
    CreateShortCut "$SMPROGRAMS\Umbrix\Umbrix.lnk" "$INSTDIR\umbrix.exe"
    CreateShortCut "$SMPROGRAMS\Umbrix\Umbrix entfernen.lnk" "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Umbrix"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "1.0.0.1"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Umbrix\Umbrix.lnk"
    Delete "$SMPROGRAMS\Umbrix\Umbrix entfernen.lnk"
    RMDir "$SMPROGRAMS\Umbrix"
    Delete "$INSTDIR\umbrix.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
