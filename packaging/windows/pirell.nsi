; The Windows installer of the Pirell driver, pirell-VERSION-setup.exe.
;
; It installs the 32-bit pirell.dll for 32-bit hosts and, on 64-bit Windows, the 64-bit one for
; 64-bit hosts, each registered by the regsvr32 of its bitness, and lists the uninstaller under
; Add/Remove Programs. /S installs and uninstalls silently; /D=FOLDER (last on the command line)
; chooses the folder. Installing for all users needs administrator rights.
;
; Built by scripts/package:
;   makensis -INPUTCHARSET UTF8 -DPIRELL_CONFIG=build/windows/generated/installer.nsh
;            -DPIRELL_DLL32=build/windows/pirell.dll -DPIRELL_DLL64=build/windows64/pirell.dll
;            -DPIRELL_OUTDIR=build/packages packaging/windows/pirell.nsi
; The configuration file, written by CMake, defines PIRELL_VERSION and PIRELL_PUBLISHER from the
; same project variables as the DLL's version resource; the build stops when a DLL carries
; another version.

Unicode true
Target x86-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include LogicLib.nsh
!include x64.nsh
!include MUI2.nsh
!include "${PIRELL_CONFIG}"

!macro CheckDllVersion path bits
  !getdllversion "${path}" _dll${bits}_
  !if "${_dll${bits}_1}.${_dll${bits}_2}.${_dll${bits}_3}.${_dll${bits}_4}" != "${PIRELL_VERSION}"
    !error "${path} carries the version ${_dll${bits}_1}.${_dll${bits}_2}.${_dll${bits}_3}.${_dll${bits}_4}, not ${PIRELL_VERSION}"
  !endif
!macroend
!insertmacro CheckDllVersion "${PIRELL_DLL32}" 32
!insertmacro CheckDllVersion "${PIRELL_DLL64}" 64

!define PRODUCT "Pirell"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pirell"
!define UNINSTALLER "uninstall.exe"
; ERROR_ELEVATION_REQUIRED: the exit code when the installer runs without administrator rights.
!define EXIT_NEEDS_ADMIN 740
; The exit code when a DLL does not register.
!define EXIT_REGISTRATION_FAILED 3

Name "${PRODUCT} ${PIRELL_VERSION}"
OutFile "${PIRELL_OUTDIR}/pirell-${PIRELL_VERSION}-setup.exe"
BrandingText "${PIRELL_PUBLISHER} ${PRODUCT} ${PIRELL_VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${PIRELL_VERSION}"
VIFileVersion "${PIRELL_VERSION}"
VIAddVersionKey /LANG=1049 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1049 "CompanyName" "${PIRELL_PUBLISHER}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "© Kestro-Dalvin"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка драйвера принтера этикеток ${PRODUCT}"
VIAddVersionKey /LANG=1049 "FileVersion" "${PIRELL_VERSION}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${PIRELL_VERSION}"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

; Registers or unregisters (/u) a DLL with the regsvr32 of its bitness and leaves regsvr32's
; exit code in $0. The installer is a 32-bit program: its system folder is the 32-bit one
; (SysWOW64 on 64-bit Windows) until the file system redirection is switched off.
!macro RunRegsvr32 options dll bits
  !if ${bits} == 64
    ${DisableX64FSRedirection}
  !endif
  ExecWait '"$SYSDIR\regsvr32.exe" ${options} "${dll}"' $0
  !if ${bits} == 64
    ${EnableX64FSRedirection}
  !endif
  DetailPrint "regsvr32 ${options} ${dll}: $0"
!macroend

; Unregisters and deletes every file the installer put down, then its folders when nothing else
; is left in them (the driver may keep its templates or debug log beside itself), and the
; Add/Remove Programs entry.
!macro RemoveInstallation
  ${If} ${FileExists} "$INSTDIR\x64\pirell.dll"
    !insertmacro RunRegsvr32 "/u /s" "$INSTDIR\x64\pirell.dll" 64
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\x86\pirell.dll"
    !insertmacro RunRegsvr32 "/u /s" "$INSTDIR\x86\pirell.dll" 32
  ${EndIf}
  Delete "$INSTDIR\x64\pirell.dll"
  Delete "$INSTDIR\x86\pirell.dll"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR\x64"
  RMDir "$INSTDIR\x86"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
!macroend

; The registry view and the folder of a 64-bit program on 64-bit Windows.
!macro SelectView
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

Function .onInit
  !insertmacro SelectView
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_ICONSTOP "Для установки ${PRODUCT} нужны права администратора. Без них драйвер можно зарегистрировать только для себя: regsvr32 pirell.dll." /SD IDOK
    SetErrorLevel ${EXIT_NEEDS_ADMIN}
    Quit
  ${EndIf}
  ; /D= on the command line has set the folder already.
  ${If} $INSTDIR == ""
    ${If} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES\${PRODUCT}"
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "${PRODUCT}"
  SetOutPath "$INSTDIR\x86"
  File "/oname=pirell.dll" "${PIRELL_DLL32}"
  ${If} ${RunningX64}
    SetOutPath "$INSTDIR\x64"
    File "/oname=pirell.dll" "${PIRELL_DLL64}"
  ${EndIf}
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  !insertmacro RunRegsvr32 "/s" "$INSTDIR\x86\pirell.dll" 32
  ${If} $0 == 0
  ${AndIf} ${RunningX64}
    !insertmacro RunRegsvr32 "/s" "$INSTDIR\x64\pirell.dll" 64
  ${EndIf}
  ${If} $0 != 0
    StrCpy $1 $0
    !insertmacro RemoveInstallation
    MessageBox MB_ICONSTOP "Не удалось зарегистрировать драйвер (regsvr32: код $1). Установка отменена." /SD IDOK
    SetErrorLevel ${EXIT_REGISTRATION_FAILED}
    Abort
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${PIRELL_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PIRELL_PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

Function un.onInit
  !insertmacro SelectView
FunctionEnd

Section "Uninstall"
  !insertmacro RemoveInstallation
SectionEnd
