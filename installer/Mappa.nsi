; Mappa's installer: Mappa.exe and the bundled office list under Program Files,
; the automation server registered, a Start menu shortcut and an entry in
; Add/Remove Programs. Build it with installer/make-installer, which passes:
;   MAPPA_EXE    the built Mappa.exe
;   MAPPA_DATA   the bundled office list, resources/Mappa2.dat
;   OUTFILE      the setup program to write, or
;   OUTFILE_DIR  the folder to write Mappa-<version>-setup.exe into
; The version is read from Mappa.exe itself, so the installer always carries the
; version of the program it installs.
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

!ifndef MAPPA_EXE | MAPPA_DATA
    !error "MAPPA_EXE or MAPPA_DATA is not set: build with installer/make-installer"
!endif

!getdllversion "${MAPPA_EXE}" MAPPA_VERSION_
!define VERSION "${MAPPA_VERSION_1}.${MAPPA_VERSION_2}.${MAPPA_VERSION_3}.${MAPPA_VERSION_4}"
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
    Delete "$INSTDIR\Mappa2.dat"
    Delete "$INSTDIR\${UNINSTALLER}"
    ; Only when nothing else is left in it, and not while it is our working folder.
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
!macroend

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
    File "/oname=Mappa2.dat" "${MAPPA_DATA}"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; The automation server registers its class, ProgID and type library itself.
    DetailPrint "Registering the Mappa automation server"
    ClearErrors
    ExecWait '"$INSTDIR\Mappa.exe" /RegServer' $0
    ${If} ${Errors}
    ${OrIf} $0 != 0
        DetailPrint "Mappa.exe /RegServer failed (exit code $0)"
        !insertmacro RemoveInstalledFiles
        MessageBox MB_OK|MB_ICONSTOP "The Mappa automation server could not be registered (exit code $0). Mappa was not installed." /SD IDOK
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
    ; The server removes its own class, ProgID and type library entries.
    ${If} ${FileExists} "$INSTDIR\Mappa.exe"
        DetailPrint "Unregistering the Mappa automation server"
        ClearErrors
        ExecWait '"$INSTDIR\Mappa.exe" /UnRegServer' $0
        ${If} ${Errors}
        ${OrIf} $0 != 0
            DetailPrint "Mappa.exe /UnRegServer failed (exit code $0); removing the files all the same"
        ${EndIf}
    ${EndIf}

    Delete "${SHORTCUT}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    !insertmacro RemoveInstalledFiles
SectionEnd
