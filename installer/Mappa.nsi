; Mappa's installer: Mappa.exe, the data file checker and the bundled office list
; under Program Files, the automation server registered, a Start menu shortcut and
; an entry in Add/Remove Programs. Build it with installer/make-installer, which passes:
;   MAPPA_EXE     the built Mappa.exe
;   MAPPA_CHECK   the built mappa-check.exe
;   MAPPA_DATA    the bundled office list, resources/Mappa2.dat
;   WORLD_MAP     the checker's map of the land, resources/worldmap.bmp
;   REGISTRATION  the server's registry entries as NSIS macros (installer/registration-include)
;   OUTFILE       the setup program to write, or
;   OUTFILE_DIR   the folder to write Mappa-<version>-setup.exe into
;   VERSION       optional: the version to give the installer instead of Mappa.exe's
;   SIGN_UNINSTALLER  optional: installer/sign-file, to sign the uninstaller before it
;                 is packed (the installer writes it out, so it cannot be signed later)
; The version is read from Mappa.exe itself, so the installer always carries the
; version of the program it installs.
;
; The installer writes the server's registry entries itself rather than running
; Mappa.exe /RegServer: that reports a failure in a message box, which would wait
; for ever in a silent installation. Nothing during installation or removal waits
; for a person when run with /S.
;
; Mappa.exe is a 64-bit program, and so is this installer (amd64 stub): it sees the
; 64-bit file system and registry without redirection, where Mappa registers itself.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

!ifndef MAPPA_EXE | MAPPA_CHECK | MAPPA_DATA | WORLD_MAP | REGISTRATION
    !error "MAPPA_EXE, MAPPA_CHECK, MAPPA_DATA, WORLD_MAP or REGISTRATION is not set: build with installer/make-installer"
!endif

!ifdef SIGN_UNINSTALLER
    !uninstfinalize 'SIGN_DESCRIPTION="Mappa Uninstall" "${SIGN_UNINSTALLER}" "%1"' = 0
!endif

!ifdef VERSION
    !searchparse "${VERSION}" "" MAPPA_VERSION_1 "." MAPPA_VERSION_2 "." MAPPA_VERSION_3 "." MAPPA_VERSION_4
!else
    !getdllversion "${MAPPA_EXE}" MAPPA_VERSION_
    !define VERSION "${MAPPA_VERSION_1}.${MAPPA_VERSION_2}.${MAPPA_VERSION_3}.${MAPPA_VERSION_4}"
!endif
!ifndef OUTFILE
    !ifdef OUTFILE_DIR
        !define OUTFILE "${OUTFILE_DIR}/Mappa-${VERSION}-setup.exe"
    !else
        !define OUTFILE "Mappa-${VERSION}-setup.exe"
    !endif
!endif

!define PRODUCT "Mappa"
!define PUBLISHER "Norvantic"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mappa"
!define UNINSTALLER "Uninstall.exe"
!define SHORTCUT "$SMPROGRAMS\Mappa.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Mappa"
; An earlier installation is updated where it is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PUBLISHER} ${PRODUCT} ${VERSION}"

!define MUI_ABORTWARNING
; No "Run Mappa" on the finish page: it would start Mappa elevated, with the
; administrator's settings rather than the user's.

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright ${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"

; The files of an installation; the uninstaller and a failed installation remove
; exactly these and nothing else from the folder.
!macro RemoveInstalledFiles
    Delete "$INSTDIR\Mappa.exe"
    Delete "$INSTDIR\mappa-check.exe"
    Delete "$INSTDIR\Mappa2.dat"
    Delete "$INSTDIR\worldmap.bmp"
    Delete "$INSTDIR\${UNINSTALLER}"
    ; Only when nothing else is left in it, and not while it is our working folder.
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
!macroend

!include "${REGISTRATION}"

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs a 64-bit version of Windows." /SD IDOK
        Abort
    ${EndIf}
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "Mappa" SecMappa
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "/oname=Mappa.exe" "${MAPPA_EXE}"
    File "/oname=mappa-check.exe" "${MAPPA_CHECK}"
    File "/oname=Mappa2.dat" "${MAPPA_DATA}"
    File "/oname=worldmap.bmp" "${WORLD_MAP}"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; The automation server's class, ProgID, interface and type library entries,
    ; the same as Mappa.exe /RegServer writes, the server's path in quotes.
    DetailPrint "Registering the Mappa automation server"
    ClearErrors
    !insertmacro WriteServerRegistration
    ${If} ${Errors}
        DetailPrint "The automation server's registry entries could not be written"
        !insertmacro RemoveServerRegistration
        !insertmacro RemoveInstalledFiles
        MessageBox MB_OK|MB_ICONSTOP "The Mappa automation server could not be registered. Mappa was not installed." /SD IDOK
        SetErrorLevel 2
        Abort
    ${EndIf}

    CreateShortCut "${SHORTCUT}" "$INSTDIR\Mappa.exe" "" "$INSTDIR\Mappa.exe" 0 \
        SW_SHOWNORMAL "" "The offices on a world map"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\Mappa.exe",0'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${MAPPA_VERSION_1}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${MAPPA_VERSION_2}
    ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "Uninstall"
    DetailPrint "Unregistering the Mappa automation server"
    !insertmacro RemoveServerRegistration
    Delete "${SHORTCUT}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    !insertmacro RemoveInstalledFiles
SectionEnd
