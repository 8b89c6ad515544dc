; Peer bootstrapper for the benchmark: the launcher's main job written for
; NSIS, so Setup.exe can be timed beside a general-purpose installer stub.
; Built by makensis with -DPEER_OUTFILE=<path>.
;
; What it does, in the launcher's order:
;   1. the already-installed check over the six key pairs (uninstall key and
;      product key with ClientLevel, plain forms first, then the forms with
;      a trailing backslash); an installation found ends the run with code 1
;   2. "_Setup.exe" with the whole argument text, started from the stub's
;      own folder and waited for (ExecWait)
;   3. when the main pair (plain or trailing form) shows ClientLevel, the six
;      repairs in order: Build Level, LastUsedSource, the network source
;      "1", UninstallString, ModifyPath, LocalPackage; each in the trailing
;      form first and in the plain form only when that did nothing
;   4. the inner installer's exit code as its own
;
; Where NSIS cannot do the same, and what it does instead:
;   - Keys are opened for reading (EnumRegKey, ReadRegStr), not with full
;     access, so a key the user may read but not change still counts.
;   - WriteRegStr creates a missing key; every write is therefore preceded by
;     an existence check of its key, so no key is created.
;   - Values are written as REG_SZ with the terminating NUL counted in the
;     length: ReadRegStr does not report the type of Directory, and
;     WriteRegStr always counts the NUL.
;   - Strings hold NSIS_MAX_STRLEN (1024) characters, not 260: a longer
;     Directory is not refused.
;   - The already-installed refusal is a plain message box in English, not
;     one of the 24 dialog templates; "/l" is not read. The version after the
;     first "/" is compared by its integer part (IntCmp), which gives the
;     same choice for every plain decimal number.
;   - The stub parses /S, /NCRC and /D= from its own command line; the
;     installer is silent whatever it is given.
;   - ExecWait waits in 100 ms slices and pumps messages in between; the
;     wait still ends as soon as the child has ended.
; Set for the fastest start the stub allows: ANSI, no CRC check of its own
; file, no pages, no window, no visual styles. With -DPEER_AMD64 it is the
; peer of the launcher's 64-bit twin: NSIS's 64-bit stubs are Unicode only,
; and it uses the 32-bit registry view, as the twin does.

!ifdef PEER_AMD64
Target amd64-unicode
!else
Unicode false
!endif
; It has the launcher's name; Windows treats both programs the same way.
!pragma warning disable 9000
SetCompressor zlib
CRCCheck off
SilentInstall silent
AutoCloseWindow true
ShowInstDetails nevershow
XPStyle off
RequestExecutionLevel admin
Name "Omrik Vindara"
Caption "Omrik Vindara"
OutFile "${PEER_OUTFILE}"

!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define PRODUCT_CODE "{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}"
!define UNINSTALL_ROOT "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
!define PRODUCT_KEY "SOFTWARE\Omrik\Moltrek"
!define BY_NAME_KEY "${UNINSTALL_ROOT}\Omrik Vindara"
!define ALTERNATE_KEY "${UNINSTALL_ROOT}\{6A3E90D2-41B7-4C58-9E0F-27D4B1C8A365}"
!define MAIN_KEY "${UNINSTALL_ROOT}\${PRODUCT_CODE}"
!define SOURCE_LIST_KEY "Software\Microsoft\Installer\Products\17E2B8D5A49C60F43B2AE8160F7D2C94\SourceList"
!define NET_SOURCE_KEY "${SOURCE_LIST_KEY}\Net"
; BUILD_DATE, the launcher's build date, comes from the build (-DBUILD_DATE).

; Sets $R9 to 1 when the key opens, else 0. EnumRegKey sets the error flag
; only when the key cannot be opened; an empty key is no error.
!macro KeyExists ROOT KEY
  StrCpy $R9 1
  ClearErrors
  EnumRegKey $R7 ${ROOT} "${KEY}" 0
  ${If} ${Errors}
    StrCpy $R9 0
  ${EndIf}
!macroend

; Sets $R9 to 1 when the uninstall key opens and the product key holds
; ClientLevel, whose text is left in $R8.
!macro ReadPair UNINSTALL PRODUCT
  StrCpy $R8 ""
  !insertmacro KeyExists HKLM "${UNINSTALL}"
  ${If} $R9 == 1
    ClearErrors
    ReadRegStr $R8 HKLM "${PRODUCT}" "ClientLevel"
    ${If} ${Errors}
      StrCpy $R9 0
    ${EndIf}
  ${EndIf}
!macroend

; The already-installed check for one pair: a ClientLevel with a "/" ends
; the run with the refusal.
!macro CheckPair UNINSTALL PRODUCT
  !insertmacro ReadPair "${UNINSTALL}" "${PRODUCT}"
  ${If} $R9 == 1
    Call RefuseIfVersioned
  ${EndIf}
!macroend

Var Arguments
Var InnerExitCode
Var Repaired

; Sets $R6 to the position of the first occurrence of the one character $R5
; in $R4, or -1. Uses $7.
Function FindChar
  StrCpy $R6 0
  ${Do}
    StrCpy $7 $R4 1 $R6
    ${If} $7 == ""
      StrCpy $R6 -1
      ${Break}
    ${EndIf}
    ${If} $7 == $R5
      ${Break}
    ${EndIf}
    IntOp $R6 $R6 + 1
  ${Loop}
FunctionEnd

Function RefuseIfVersioned
  StrCpy $R4 $R8
  StrCpy $R5 "/"
  Call FindChar
  ${If} $R6 < 0
    Return
  ${EndIf}
  IntOp $R6 $R6 + 1
  StrCpy $R3 $R8 "" $R6
  IntOp $R3 $R3 + 0
  ${If} $R3 >= 4
    MessageBox MB_OK "Omrik Vindara is already installed. To complete the installation process, uninstall the current version of Omrik Vindara using the Add/Remove Programs (Control Panel) and start the Omrik Vindara installation process again."
  ${Else}
    MessageBox MB_OK "Omrik Vindara is already installed. To complete the installation process, uninstall the current version of Omrik Vindara using the Add/Remove Programs (Control Panel) and start the Omrik Vindara installation process again. $\r$\n$\r$\nIf you uninstall this version, you might no longer be able to get updates for this computer."
  ${EndIf}
  SetErrorLevel 1
  Quit
FunctionEnd

; Reads Directory of the product key given in $R0 into $R1; $R9 is 1 when
; it was read.
Function ReadDirectory
  StrCpy $R9 1
  ClearErrors
  ReadRegStr $R1 HKLM $R0 "Directory"
  ${If} ${Errors}
    StrCpy $R9 0
  ${EndIf}
FunctionEnd

; Build Level in the product key $R0; $R9 is 1 when the key exists.
Function WriteBuildLevel
  !insertmacro KeyExists HKLM $R0
  ${If} $R9 == 1
    WriteRegStr HKLM $R0 "Build Level" "${BUILD_DATE}"
  ${EndIf}
FunctionEnd

; The value $R3 of the source key $R2 (HKCU) loses everything from the
; character before its first colon on and gets Directory of the product key
; $R0 appended; $R9 is 1 when it was written.
Function RewriteSourceListValue
  StrCpy $R9 0
  ClearErrors
  ReadRegStr $R4 HKCU $R2 $R3
  ${If} ${Errors}
    Return
  ${EndIf}
  StrCpy $R5 ":"
  Call FindChar
  ${If} $R6 < 1
    Return
  ${EndIf}
  IntOp $R6 $R6 - 1
  StrCpy $R4 $R4 $R6
  Call ReadDirectory
  ${If} $R9 == 1
    WriteRegStr HKCU $R2 $R3 "$R4$R1"
  ${EndIf}
FunctionEnd

; UninstallString of the uninstall key $R2: the removal command for the
; package in Directory of the product key $R0.
Function RewriteUninstallString
  Call ReadDirectory
  ${If} $R9 == 1
    !insertmacro KeyExists HKLM $R2
    ${If} $R9 == 1
      WriteRegStr HKLM $R2 "UninstallString" 'msiexec /x "$R1Omrik Vindara.msi"'
    ${EndIf}
  ${EndIf}
FunctionEnd

; The value $R3 (ModifyPath or LocalPackage) of the uninstall key $R2:
; Directory of the product key $R0, with the package name for LocalPackage.
Function RewriteDirectoryValue
  Call ReadDirectory
  ${If} $R9 == 1
    !insertmacro KeyExists HKLM $R2
    ${If} $R9 == 1
      ${If} $R3 S== "LocalPackage"
        StrCpy $R1 "$R1Omrik VindaraXXX.msi"
      ${EndIf}
      WriteRegStr HKLM $R2 $R3 $R1
    ${EndIf}
  ${EndIf}
FunctionEnd

; Runs one repair function in the trailing form, then in the plain form when
; the first call did nothing. $R3 is the value name where one is needed.
!macro Repair FUNCTION SOURCE_KEY
  StrCpy $R0 "${PRODUCT_KEY}\"
  StrCpy $R2 "${SOURCE_KEY}\"
  Call ${FUNCTION}
  ${If} $R9 != 1
    StrCpy $R0 "${PRODUCT_KEY}"
    StrCpy $R2 "${SOURCE_KEY}"
    Call ${FUNCTION}
  ${EndIf}
!macroend

Section
!ifdef PEER_AMD64
  SetRegView 32
!endif
  ${GetParameters} $Arguments

  !insertmacro CheckPair "${BY_NAME_KEY}" "${PRODUCT_KEY}"
  !insertmacro CheckPair "${ALTERNATE_KEY}" "${PRODUCT_KEY}"
  !insertmacro CheckPair "${MAIN_KEY}" "${PRODUCT_KEY}"
  !insertmacro CheckPair "${BY_NAME_KEY}\" "${PRODUCT_KEY}\"
  !insertmacro CheckPair "${ALTERNATE_KEY}\" "${PRODUCT_KEY}\"
  !insertmacro CheckPair "${MAIN_KEY}\" "${PRODUCT_KEY}\"

  ExecWait "_Setup.exe $Arguments" $InnerExitCode
  SetErrorLevel $InnerExitCode

  !insertmacro ReadPair "${MAIN_KEY}" "${PRODUCT_KEY}"
  StrCpy $Repaired $R9
  ${If} $Repaired != 1
    !insertmacro ReadPair "${MAIN_KEY}\" "${PRODUCT_KEY}\"
    StrCpy $Repaired $R9
  ${EndIf}
  ${If} $Repaired == 1
    !insertmacro Repair WriteBuildLevel "${MAIN_KEY}"
    StrCpy $R3 "LastUsedSource"
    !insertmacro Repair RewriteSourceListValue "${SOURCE_LIST_KEY}"
    StrCpy $R3 "1"
    !insertmacro Repair RewriteSourceListValue "${NET_SOURCE_KEY}"
    !insertmacro Repair RewriteUninstallString "${MAIN_KEY}"
    StrCpy $R3 "ModifyPath"
    !insertmacro Repair RewriteDirectoryValue "${MAIN_KEY}"
    StrCpy $R3 "LocalPackage"
    !insertmacro Repair RewriteDirectoryValue "${MAIN_KEY}"
  ${EndIf}
SectionEnd
