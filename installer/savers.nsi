; The Windows installer of the relief and terrain screen savers: one ANSI
; installer for every Windows from 95 and NT 4.0 to 11, built with makensis
; by scripts/package.sh, which passes
;   VERSION           the project's version (x.y.z)
;   RELEASE64         the folder of the 64-bit release: ondrels.scr, snap.exe,
;   RELEASE32         kesmar.scr and GUIDE.txt; RELEASE32 the 32-bit one
;   OUTFILE           the installer to write
;   UNINSTALLER_COPY  where the finished (signed) uninstaller is copied at
;                     build time, for the import check and the tests
;
; At run time it picks the build and the system folder:
;   64-bit Windows (x64)    the 64-bit build, the real System32 (the file
;                           system redirection of this 32-bit program off)
;   32-bit Windows NT 4.0+  the 32-bit build, System32
;   Windows 95, 98, Me      the 32-bit build, SYSTEM
; The uninstaller and the guide go into "Relief and terrain screen savers"
; under Program Files (the 64-bit one on 64-bit Windows), and one entry to
; remove them into the machine's list of programs (its 64-bit view there).
;
; Command line (besides NSIS's own /S):
;   /SAVER=ondrels|kesmar  make that saver the installing user's current one
; Exit codes: 0 installed; 1 cancelled; 2 failed (the message says what was
; changed: nothing, unless it says otherwise); 50 not for this system;
; 87 an unknown /SAVER value; 740 not run as an administrator.
; The uninstaller takes /S and /PURGE (also remove the settings files); its
; exit code 3010 says a program in use goes only at the next restart.

Unicode false
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true
; A File that cannot write stops with the error flag set, never with a
; question, so every failure reaches the code that reports it.
SetOverwrite try
AllowSkipFiles off

!ifndef VERSION | RELEASE64 | RELEASE32 | OUTFILE | UNINSTALLER_COPY
  !error "scripts/package.sh defines VERSION, RELEASE64, RELEASE32, OUTFILE and UNINSTALLER_COPY"
!endif

!define PRODUCT "Relief and terrain screen savers"
!define FOLDER "Relief and terrain screen savers"
!define ENTRY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ReliefAndTerrainSavers"
!define DESKTOP "Control Panel\Desktop"
; The value under DESKTOP (on Windows 95, 98 and Me, the key in SYSTEM.INI's
; [boot] section) that names the current screen saver's program.
!define CURRENT_SAVER "SCRNSAVE.EXE"
!define SNAPSHOT "C:\snapwnd.dat"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_SEND 3 ; SPIF_UPDATEINIFILE | SPIF_SENDCHANGE
!define EXIT_FAILED 2
!define EXIT_NOT_SUPPORTED 50
!define EXIT_BAD_OPTION 87
!define EXIT_NOT_ADMIN 740
!define EXIT_RESTART 3010

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${FOLDER}"
BrandingText "${PRODUCT} ${VERSION}"
; The uninstaller is finished (signed when the publisher signs) before it is
; packed; the copy is the file every installation writes.
!uninstfinalize '"${__FILEDIR__}/sign.sh" "%1" "${UNINSTALLER_COPY}"' = 0

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "LegalCopyright" "Copyright the authors of the ${PRODUCT}"

!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include Sections.nsh
!include nsDialogs.nsh
!include MUI2.nsh

Var NT         ; 1 on Windows NT and its successors, 0 on Windows 95, 98, Me
Var Arch       ; win64 or win32: the build this Windows runs
Var SysFolder  ; the system folder the programs go into
Var Saver      ; "" (keep the current saver), ondrels or kesmar
Var Installed  ; the version installed before this installation, or ""
Var InPlace    ; 1 once the new programs are in place
Var Staged0    ; the new programs under temporary names, while installing
Var Staged1
Var Staged2
Var Aside0     ; the old programs under temporary names, while installing
Var Aside1
Var Aside2
Var Placed0    ; 1 once the new program is in place, while installing
Var Placed1
Var Placed2
Var KeepRadio
Var OndrelsRadio
Var KesmarRadio

!define MUI_ICON "${__FILEDIR__}/../terrain/win32/kesmar.ico"
!define MUI_UNICON "${__FILEDIR__}/../terrain/win32/kesmar.ico"
!define MUI_ABORTWARNING

Page custom SaverPage SaverPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "The screen savers are installed"
!define MUI_FINISHPAGE_TEXT "Both savers are now in the display settings' list of screen savers, as Ondrels ScreenSaver (the relief saver) and Kesmar ScreenSaver (the terrain saver).$\r$\n$\r$\nTo remove them, use the entry $\"${PRODUCT}$\" in the list of installed programs."
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the display settings with the chosen screen saver"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenDisplaySettings
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_TEXT_TOP "The screen savers, their entry in the list of programs and the relief saver's picture of the desktop are removed. Your settings of the savers stay unless you tick them below."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---------------------------------------------------------------------------
; Shared by the installer and the uninstaller (NSIS keeps their functions
; apart, so each gets its own copy, the uninstaller's prefixed "un.").

!macro Fail CODE TEXT
  MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
  SetErrorLevel ${CODE}
  Quit
!macroend

; Failing inside the section: .onInstFailed then removes what it staged.
!macro FailInstall TEXT
  DetailPrint "${TEXT}"
  MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
  SetErrorLevel ${EXIT_FAILED}
  Abort
!macroend

; The file system redirection of 32-bit programs on 64-bit Windows is off
; only around file operations in the system folder: with it off, the system
; would load 64-bit DLLs into this 32-bit process.
!macro RealSystemFolder
  ${If} $Arch == win64
    ${DisableX64FSRedirection}
  ${EndIf}
!macroend
!macro RedirectedSystemFolder
  ${If} $Arch == win64
    ${EnableX64FSRedirection}
  ${EndIf}
!macroend

!macro DefineShared UN
; Sets $NT, $Arch and $SysFolder for this Windows and the registry view
; for the entry. Windows 95, 98 and Me are told apart first, by a key every
; Windows NT has and they lack (no plug-in, no version structure that early
; NT 4.0 releases fill differently), and never reach the processor
; questions, whose answers come from functions they lack.
Function ${UN}DetectSystem
  StrCpy $NT 0
  ClearErrors
  ReadRegStr $0 HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion" "CurrentVersion"
  ${IfNot} ${Errors}
  ${AndIf} $0 != ""
    StrCpy $NT 1
  ${EndIf}
  ${If} $NT == 1
    ${If} ${IsNativeAMD64}
      StrCpy $Arch win64
      SetRegView 64
    ${ElseIf} ${IsNativeIA32}
      StrCpy $Arch win32
    ${Else}
      !insertmacro Fail ${EXIT_NOT_SUPPORTED} "These screen savers are built for x86 and x64 processors, and this Windows runs on another kind. Nothing was installed or removed."
    ${EndIf}
  ${Else}
    StrCpy $Arch win32
  ${EndIf}
  StrCpy $SysFolder $SYSDIR
FunctionEnd

; On Windows NT only administrators may change the system folder. Asking the
; system for the account's groups would not answer whether this process may
; write there (a token without its administrator rights, a locked folder);
; making a file there does.
Function ${UN}CheckAdministrator
  ${If} $NT == 0
    Return
  ${EndIf}
  !insertmacro RealSystemFolder
  ClearErrors
  GetTempFileName $0 $SysFolder
  ${If} ${Errors}
    StrCpy $0 ""
  ${Else}
    Delete $0
  ${EndIf}
  !insertmacro RedirectedSystemFolder
  ${If} $0 == ""
    !insertmacro Fail ${EXIT_NOT_ADMIN} "The screen savers live in the system folder ($SysFolder), which only an administrator may change, and this program was not started with an administrator's rights.$\r$\n$\r$\nStart it again as an administrator: right-click it and choose $\"Run as administrator$\" (on Windows XP and earlier, log on as an administrator or choose $\"Run as...$\"). Nothing was changed."
  ${EndIf}
FunctionEnd

; Tells the system that screen savers are on ($0 = 1) or off ($0 = 0):
; this sets the window manager's own flag, writes it to the user's settings
; and tells every program, so the change takes effect at once. $1 is 0 when
; the system refused.
Function ${UN}TellSystem
  System::Call 'user32::SystemParametersInfoA(i ${SPI_SETSCREENSAVEACTIVE}, i r0, p 0, i ${SPIF_UPDATE_AND_SEND}) i .r1'
  ${If} $1 == error
    StrCpy $1 0
  ${EndIf}
FunctionEnd
!macroend
!insertmacro DefineShared ""
!insertmacro DefineShared "un."

; ---------------------------------------------------------------------------
; The installer

Function .onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/SAVER=" $R1
  ${IfNot} ${Errors}
    ${If} $R1 == ondrels
      StrCpy $Saver ondrels
    ${ElseIf} $R1 == kesmar
      StrCpy $Saver kesmar
    ${Else}
      !insertmacro Fail ${EXIT_BAD_OPTION} "/SAVER= takes ondrels (the relief saver) or kesmar (the terrain saver), not $\"$R1$\". Nothing was installed."
    ${EndIf}
  ${EndIf}
  Call DetectSystem
  ${If} $NT == 0
    ; The first releases of Windows 95 lack the C run-time library the
    ; programs link; without it they would not start.
    ${IfNot} ${FileExists} "$SYSDIR\MSVCRT.DLL"
      !insertmacro Fail ${EXIT_NOT_SUPPORTED} "The screen savers need MSVCRT.DLL, the C run-time library, which this Windows lacks. Internet Explorer 4 or later installs it, and so does Microsoft's Visual C++ 6 run-time installer (vcredist.exe). Nothing was installed."
    ${EndIf}
  ${EndIf}
  Call CheckAdministrator
  ReadRegStr $Installed HKLM "${ENTRY}" "DisplayVersion"
  ; One fixed folder, so every installation finds the one before it.
  ${If} $Arch == win64
    StrCpy $INSTDIR "$PROGRAMFILES64\${FOLDER}"
  ${Else}
    StrCpy $INSTDIR "$PROGRAMFILES\${FOLDER}"
  ${EndIf}
FunctionEnd

Function SaverPage
  !insertmacro MUI_HEADER_TEXT "Screen saver" "Choose whether Windows should show one of these savers."
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 24u "Both savers are installed either way. Which screen saver should Windows show you from now on?"
  Pop $0
  ${NSD_CreateRadioButton} 0 32u 100% 12u "&Keep the current screen saver"
  Pop $KeepRadio
  ${NSD_AddStyle} $KeepRadio ${WS_GROUP}
  ${NSD_CreateRadioButton} 0 50u 100% 12u "The &relief saver (ondrels): the desktop in relief under a wandering light"
  Pop $OndrelsRadio
  ${NSD_CreateRadioButton} 0 68u 100% 12u "The &terrain saver (kesmar): random landscapes, with wipes between them"
  Pop $KesmarRadio
  ${If} $Saver == ondrels
    ${NSD_Check} $OndrelsRadio
  ${ElseIf} $Saver == kesmar
    ${NSD_Check} $KesmarRadio
  ${Else}
    ${NSD_Check} $KeepRadio
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function SaverPageLeave
  StrCpy $Saver ""
  ${NSD_GetState} $OndrelsRadio $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $Saver ondrels
  ${EndIf}
  ${NSD_GetState} $KesmarRadio $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $Saver kesmar
  ${EndIf}
FunctionEnd

Function FinishPageShow
  ${If} $Saver == ""
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
    ${NSD_Uncheck} $mui.FinishPage.Run
  ${EndIf}
FunctionEnd

; What right-click Install on the saver does: the display settings open with
; it chosen. The command is started by its full path (rundll32.exe is in the
; Windows folder on Windows 95, 98 and Me), never searched for, so nothing
; beside the installer is run in its place; on 64-bit Windows it is the
; 64-bit one, which sees the real System32.
Function OpenDisplaySettings
  ${If} $Saver == ""
    Return
  ${EndIf}
  ${If} $NT == 1
    !insertmacro RealSystemFolder
    Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver $SysFolder\$Saver.scr'
    !insertmacro RedirectedSystemFolder
  ${Else}
    GetFullPathName /SHORT $0 "$SysFolder\$Saver.scr"
    Exec '"$WINDIR\RUNDLL32.EXE" desk.cpl,InstallScreenSaver $0'
  ${EndIf}
FunctionEnd

; Puts the new program into a new file of the system folder under a
; temporary name (.tmp: the display settings do not list it) and leaves that
; name in VAR.
!macro StageProgram NAME VAR
  ClearErrors
  GetTempFileName ${VAR} $SysFolder
  ${If} ${Errors}
    StrCpy ${VAR} ""
    !insertmacro RedirectedSystemFolder
    !insertmacro FailInstall "No file could be made in $SysFolder. Nothing was installed."
  ${EndIf}
  ${If} $Arch == win64
    File "/oname=${VAR}" "${RELEASE64}\${NAME}"
  ${Else}
    File "/oname=${VAR}" "${RELEASE32}\${NAME}"
  ${EndIf}
  ${If} ${Errors}
    !insertmacro RedirectedSystemFolder
    !insertmacro FailInstall "${NAME} could not be written to $SysFolder. Nothing was installed."
  ${EndIf}
!macroend

; Moves the old program NAME, if there is one, aside to a temporary name of
; its own and leaves that name in VAR. Windows lets a running program's file
; be renamed, though not replaced or deleted. On failure $R7 names it.
!macro MoveAside NAME VAR
  StrCpy ${VAR} ""
  ${If} ${FileExists} "$SysFolder\${NAME}"
    ClearErrors
    GetTempFileName ${VAR} $SysFolder
    ${IfNot} ${Errors}
      Delete ${VAR}
      Rename "$SysFolder\${NAME}" ${VAR}
    ${EndIf}
    ${If} ${Errors}
      StrCpy ${VAR} ""
      StrCpy $R7 ${NAME}
    ${EndIf}
  ${EndIf}
!macroend

; Renames the new program from its temporary name into place; PLACED set
; to 1 when done, $R7 naming it on failure.
!macro PlaceProgram STAGED NAME PLACED
  ClearErrors
  Rename ${STAGED} "$SysFolder\${NAME}"
  ${If} ${Errors}
    StrCpy $R7 ${NAME}
  ${Else}
    StrCpy ${PLACED} 1
  ${EndIf}
!macroend

; Takes one program back to where it was: the new one back to its
; temporary name (.onInstFailed deletes it), the old one back in place.
!macro RestoreProgram NAME STAGED ASIDE PLACED
  ${If} ${PLACED} == 1
    Rename "$SysFolder\${NAME}" ${STAGED}
    StrCpy ${PLACED} ""
  ${EndIf}
  ${If} ${ASIDE} != ""
    Rename ${ASIDE} "$SysFolder\${NAME}"
    StrCpy ${ASIDE} ""
  ${EndIf}
!macroend

; Removes an old program moved aside; a running saver's goes at the next
; restart. The installation is complete without that restart, so it is not
; asked for.
!macro DropAside VAR
  ${If} ${VAR} != ""
    ClearErrors
    Delete ${VAR}
    ${If} ${Errors}
      Delete /REBOOTOK ${VAR}
      SetRebootFlag false
    ${EndIf}
    StrCpy ${VAR} ""
  ${EndIf}
!macroend

; Puts the three programs in place all together or not at all: the new ones
; are written under temporary names first, the old ones moved aside, then
; the new ones renamed into place; any failure takes everything back.
Function InstallPrograms
  !insertmacro RealSystemFolder
  ${If} ${FileExists} "$SysFolder\ondrels.scr\*.*"
  ${OrIf} ${FileExists} "$SysFolder\snap.exe\*.*"
  ${OrIf} ${FileExists} "$SysFolder\kesmar.scr\*.*"
    !insertmacro RedirectedSystemFolder
    !insertmacro FailInstall "$SysFolder holds a folder named ondrels.scr, snap.exe or kesmar.scr where a program of the screen savers goes. Nothing was installed."
  ${EndIf}
  !insertmacro StageProgram ondrels.scr $Staged0
  !insertmacro StageProgram snap.exe $Staged1
  !insertmacro StageProgram kesmar.scr $Staged2

  StrCpy $R7 ""
  !insertmacro MoveAside ondrels.scr $Aside0
  ${If} $R7 == ""
    !insertmacro MoveAside snap.exe $Aside1
  ${EndIf}
  ${If} $R7 == ""
    !insertmacro MoveAside kesmar.scr $Aside2
  ${EndIf}
  ${If} $R7 == ""
    !insertmacro PlaceProgram $Staged0 ondrels.scr $Placed0
  ${EndIf}
  ${If} $R7 == ""
    !insertmacro PlaceProgram $Staged1 snap.exe $Placed1
  ${EndIf}
  ${If} $R7 == ""
    !insertmacro PlaceProgram $Staged2 kesmar.scr $Placed2
  ${EndIf}
  ${If} $R7 != ""
    !insertmacro RestoreProgram ondrels.scr $Staged0 $Aside0 $Placed0
    !insertmacro RestoreProgram snap.exe $Staged1 $Aside1 $Placed1
    !insertmacro RestoreProgram kesmar.scr $Staged2 $Aside2 $Placed2
    !insertmacro RedirectedSystemFolder
    !insertmacro FailInstall "$SysFolder\$R7 could not be replaced: Windows does not let it be moved (it may be in use). Close the display settings and any running screen saver, then run the installer again. Nothing was changed."
  ${EndIf}
  StrCpy $Staged0 ""
  StrCpy $Staged1 ""
  StrCpy $Staged2 ""
  !insertmacro DropAside $Aside0
  !insertmacro DropAside $Aside1
  !insertmacro DropAside $Aside2
  !insertmacro RedirectedSystemFolder
FunctionEnd

; A failed installation leaves nothing of its own: the new programs under
; their temporary names go, and on a first installation that failed before
; its programs were in place the folder too (an earlier installation keeps
; its folder and its uninstaller, now this one's, which removes the same
; files; programs in place keep theirs, which removes them).
Function .onInstFailed
  !insertmacro RealSystemFolder
  ${If} $Staged0 != ""
    Delete $Staged0
  ${EndIf}
  ${If} $Staged1 != ""
    Delete $Staged1
  ${EndIf}
  ${If} $Staged2 != ""
    Delete $Staged2
  ${EndIf}
  !insertmacro RedirectedSystemFolder
  ${If} $Installed == ""
  ${AndIf} $InPlace != 1
    Delete "$INSTDIR\GUIDE.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir $INSTDIR
  ${EndIf}
FunctionEnd

; Adds the size of file $0 in KiB to $2.
Function AddFileSize
  ClearErrors
  FileOpen $3 $0 r
  ${IfNot} ${Errors}
    FileSeek $3 0 END $4
    FileClose $3
    IntOp $4 $4 + 1023
    IntOp $4 $4 / 1024
    IntOp $2 $2 + $4
  ${EndIf}
FunctionEnd

; The entry in the list of installed programs: one key, the same at every
; installation, in the 64-bit view on 64-bit Windows.
Function WriteEntry
  StrCpy $2 0
  !insertmacro RealSystemFolder
  StrCpy $0 "$SysFolder\ondrels.scr"
  Call AddFileSize
  StrCpy $0 "$SysFolder\snap.exe"
  Call AddFileSize
  StrCpy $0 "$SysFolder\kesmar.scr"
  Call AddFileSize
  !insertmacro RedirectedSystemFolder
  StrCpy $0 "$INSTDIR\uninstall.exe"
  Call AddFileSize
  StrCpy $0 "$INSTDIR\GUIDE.txt"
  Call AddFileSize
  ClearErrors
  WriteRegStr HKLM "${ENTRY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${ENTRY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${ENTRY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${ENTRY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${ENTRY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${ENTRY}" "DisplayIcon" '"$INSTDIR\uninstall.exe",0'
  WriteRegDWORD HKLM "${ENTRY}" "EstimatedSize" $2
  WriteRegDWORD HKLM "${ENTRY}" "NoModify" 1
  WriteRegDWORD HKLM "${ENTRY}" "NoRepair" 1
  ${If} ${Errors}
    !insertmacro FailInstall "The screen savers are in $SysFolder, but their entry in the list of installed programs could not be written. Run $INSTDIR\uninstall.exe to remove them."
  ${EndIf}
FunctionEnd

; Makes $Saver the installing user's screen saver. Windows NT keeps it in
; the user's registry, Windows 95, 98 and Me in SYSTEM.INI, by its short
; path. Then the system is told, which also writes ScreenSaveActive "1" to
; the user's settings.
Function ChooseSaver
  ${If} $Saver == ""
    Return
  ${EndIf}
  ClearErrors
  ${If} $NT == 1
    WriteRegStr HKCU "${DESKTOP}" "${CURRENT_SAVER}" "$SysFolder\$Saver.scr"
  ${Else}
    GetFullPathName /SHORT $0 "$SysFolder\$Saver.scr"
    WriteINIStr "$WINDIR\SYSTEM.INI" "boot" "${CURRENT_SAVER}" $0
  ${EndIf}
  StrCpy $1 0
  ${IfNot} ${Errors}
    StrCpy $0 1
    Call TellSystem
  ${EndIf}
  ${If} $1 == 0
    !insertmacro FailInstall "The screen savers are installed, but $Saver.scr could not be made your screen saver. Choose it in the display settings."
  ${EndIf}
  DetailPrint "Screen saver: $SysFolder\$Saver.scr"
FunctionEnd

Section "-Install"
  SetDetailsPrint both
  ; The folder, the guide and the uninstaller first: should they fail,
  ; the system folder is untouched.
  ClearErrors
  CreateDirectory $INSTDIR
  SetOutPath $INSTDIR
  ${If} $Arch == win64
    File "/oname=GUIDE.txt" "${RELEASE64}\GUIDE.txt"
  ${Else}
    File "/oname=GUIDE.txt" "${RELEASE32}\GUIDE.txt"
  ${EndIf}
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    !insertmacro FailInstall "$INSTDIR could not be written. The screen savers were not installed."
  ${EndIf}
  ; Not the current folder any more: nothing holds it open.
  SetOutPath $TEMP
  Call InstallPrograms
  StrCpy $InPlace 1
  DetailPrint "Programs ($Arch build): $SysFolder\ondrels.scr, snap.exe, kesmar.scr"
  Call WriteEntry
  Call ChooseSaver
SectionEnd

; ---------------------------------------------------------------------------
; The uninstaller

; Removes one program of the system folder; a running one is moved aside
; (no longer listed as a saver) and goes at the next restart.
!macro RemoveProgram NAME
  ${If} ${FileExists} "$SysFolder\${NAME}"
  ${AndIfNot} ${FileExists} "$SysFolder\${NAME}\*.*"
    ClearErrors
    Delete "$SysFolder\${NAME}"
    ${If} ${Errors}
      ClearErrors
      GetTempFileName $1 $SysFolder
      ${IfNot} ${Errors}
        Delete $1
        Rename "$SysFolder\${NAME}" $1
      ${EndIf}
      ${If} ${Errors}
        ; Still listed under its name until the restart, which is asked for.
        Delete /REBOOTOK "$SysFolder\${NAME}"
        StrCpy $R6 1
      ${Else}
        Delete /REBOOTOK $1
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

; The user's application-data folder as the savers find it: the shell's,
; else %APPDATA%, else %USERPROFILE%, else (Windows 95 and 98 without user
; profiles) the Windows folder.
Function un.UserSettingsFolder
  SetShellVarContext current
  StrCpy $0 $APPDATA
  ${If} $0 == ""
    ReadEnvStr $0 APPDATA
  ${EndIf}
  ${If} $0 == ""
    ReadEnvStr $0 USERPROFILE
  ${EndIf}
  ${If} $0 == ""
    StrCpy $0 $WINDIR
  ${EndIf}
FunctionEnd

; $1 is 1 when $0 names one of the two savers of the system folder, in its
; long or short form ($R8, $R9), else 0. Names are compared as Windows
; compares them, ignoring case.
Function un.IsOurSaver
  StrCpy $1 0
  ExpandEnvStrings $0 $0
  ${If} $0 == ""
    Return
  ${EndIf}
  ${If} $0 == "$SysFolder\ondrels.scr"
  ${OrIf} $0 == "$SysFolder\kesmar.scr"
  ${OrIf} $0 == $R8
  ${OrIf} $0 == $R9
    StrCpy $1 1
  ${EndIf}
FunctionEnd

; The current-saver value goes where it names one of these savers; the display
; settings then show none, and the system is told screen savers are off.
Function un.ForgetSaver
  !insertmacro RealSystemFolder
  GetFullPathName /SHORT $R8 "$SysFolder\ondrels.scr"
  GetFullPathName /SHORT $R9 "$SysFolder\kesmar.scr"
  !insertmacro RedirectedSystemFolder
  StrCpy $2 ""
  ${If} $NT == 1
    ReadRegStr $0 HKCU "${DESKTOP}" "${CURRENT_SAVER}"
    Call un.IsOurSaver
    ${If} $1 == 1
      DeleteRegValue HKCU "${DESKTOP}" "${CURRENT_SAVER}"
      StrCpy $2 1
    ${EndIf}
  ${Else}
    ReadINIStr $0 "$WINDIR\SYSTEM.INI" "boot" "${CURRENT_SAVER}"
    Call un.IsOurSaver
    ${If} $1 == 1
      DeleteINIStr "$WINDIR\SYSTEM.INI" "boot" "${CURRENT_SAVER}"
      StrCpy $2 1
    ${EndIf}
  ${EndIf}
  ${If} $2 == 1
    StrCpy $0 0
    Call un.TellSystem
    DetailPrint "Screen saver: none"
  ${EndIf}
FunctionEnd

Section "-un.Programs"
  SetDetailsPrint both
  Call un.ForgetSaver
  ; $R6: 1 when a program stays under its name until the next restart.
  StrCpy $R6 0
  !insertmacro RealSystemFolder
  !insertmacro RemoveProgram ondrels.scr
  !insertmacro RemoveProgram snap.exe
  !insertmacro RemoveProgram kesmar.scr
  !insertmacro RedirectedSystemFolder
  SetRebootFlag false
  ${If} $R6 == 1
    SetRebootFlag true
  ${EndIf}
  ; The relief saver's picture of the desktop, and what a helper stopped
  ; while writing it left.
  Delete "${SNAPSHOT}"
  Delete "${SNAPSHOT}.partial"
  Delete "${SNAPSHOT}.partial.*"
  DeleteRegKey HKLM "${ENTRY}"
  Delete "$INSTDIR\GUIDE.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: nothing the user put there goes.
  RMDir $INSTDIR
SectionEnd

Section /o "un.Your settings of the savers" SettingsSection
  !insertmacro RealSystemFolder
  Delete "$SysFolder\ondrels.INI"
  Delete "$SysFolder\kesmar.INI"
  !insertmacro RedirectedSystemFolder
  Call un.UserSettingsFolder
  Delete "$0\ondrels.INI"
  Delete "$0\kesmar.INI"
  DetailPrint "Settings removed"
SectionEnd

Function un.onUninstSuccess
  ${If} ${RebootFlag}
    MessageBox MB_OK|MB_ICONINFORMATION "A screen saver was in use: its file goes when Windows restarts." /SD IDOK
    SetErrorLevel ${EXIT_RESTART}
  ${EndIf}
FunctionEnd

Function un.onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/PURGE" $R1
  ${IfNot} ${Errors}
    SectionSetFlags ${SettingsSection} ${SF_SELECTED}
  ${EndIf}
  Call un.DetectSystem
  Call un.CheckAdministrator
FunctionEnd
