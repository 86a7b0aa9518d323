; The Windows installer and uninstaller (makensis, Debian's nsis package).
; dist/windows/make-setup builds it from the folder the zip is made of:
;   VERSION  the program's version (x.y.z)
;   FILES    an include with the macros VELLARION_INSTALL_FILES and
;            VELLARION_UNINSTALL_FILES: every file of that folder, written and
;            deleted one by one, so that the uninstaller takes away exactly
;            what the installer put there and nothing else in the folder
;   ICON     the program's icon (.ico)
;   WELCOME  the picture of the welcome and finish pages (164 x 314 BMP)
;   OUTFILE  the setup exe
;
; For the current user by default, without administrator rights, under
; %LOCALAPPDATA%\Programs\Vellarion; for all users (Program Files, HKLM) when
; run elevated and asked: the page "Choose Users", or /AllUsers. /S is silent,
; /D=FOLDER the folder, /AddToPath puts vellarion-cli on the PATH.
;
; The settings file vellarion.ini lies beside vellarion.exe, where the program
; keeps it: neither the installer nor the uninstaller writes or deletes it, so
; an upgrade keeps it and an uninstall leaves it (with the folder around it).
; An upgrade runs the installed version's own uninstaller with /UPGRADE first:
; it knows that version's files (a DLL dropped since is removed too) and
; leaves the settings, the shortcut, the keys and the scheduled tasks alone.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include nsDialogs.nsh
!include WinMessages.nsh
!include "${FILES}"

; The plugins .onInit and the first pages use go first into the solid
; archive: otherwise the whole of it is unpacked before the first page shows.
ReserveFile /plugin UserInfo.dll
ReserveFile /plugin nsDialogs.dll

!define PRODUCT "Vellarion"
!define PUBLISHER "Vellarion"
!define HOMEPAGE "https://vellarion.example.org/"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vellarion"
!define USER_ENVIRONMENT "Environment"
!define SYSTEM_ENVIRONMENT "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; No InstallDir: .onInit tells a folder given with /D from none.
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

Var Privileges ; "Admin" when the process runs elevated
Var AllUsers   ; 1: for all users
Var DirGiven   ; 1: /D named the folder
Var Upgrade    ; uninstaller: 1 with /UPGRADE
Var ModeAll
Var ModeMine

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME}"
!define MUI_COMPONENTSPAGE_SMALLDESC

!insertmacro MUI_PAGE_WELCOME
Page custom ModePage ModePageLeave
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\vellarion.exe"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first is the fallback for a system in neither language.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"

LangString SecProgram ${LANG_ENGLISH} "Vellarion"
LangString SecProgram ${LANG_RUSSIAN} "Vellarion"
LangString SecProgramText ${LANG_ENGLISH} "The window program, the command line program vellarion-cli and the files they need."
LangString SecProgramText ${LANG_RUSSIAN} "Оконная программа, программа командной строки vellarion-cli и нужные им файлы."
LangString SecPath ${LANG_ENGLISH} "Add vellarion-cli to PATH"
LangString SecPath ${LANG_RUSSIAN} "Добавить vellarion-cli в PATH"
LangString SecPathText ${LANG_ENGLISH} "Lets you run vellarion-cli from any command prompt."
LangString SecPathText ${LANG_RUSSIAN} "Позволяет запускать vellarion-cli из любой командной строки."
LangString ModeTitle ${LANG_ENGLISH} "Choose Users"
LangString ModeTitle ${LANG_RUSSIAN} "Выбор пользователей"
LangString ModeSubtitle ${LANG_ENGLISH} "Choose for whom to install Vellarion."
LangString ModeSubtitle ${LANG_RUSSIAN} "Выберите, для кого установить Vellarion."
LangString ModeMine ${LANG_ENGLISH} "Only for me"
LangString ModeMine ${LANG_RUSSIAN} "Только для меня"
LangString ModeAll ${LANG_ENGLISH} "For all users of this computer"
LangString ModeAll ${LANG_RUSSIAN} "Для всех пользователей этого компьютера"
LangString AllUsersNeedsAdmin ${LANG_ENGLISH} "Installing for all users needs administrator rights. Run the installer as administrator."
LangString AllUsersNeedsAdmin ${LANG_RUSSIAN} "Чтобы установить программу для всех пользователей, нужны права администратора. Запустите установщик от имени администратора."
LangString ProgramRunning ${LANG_ENGLISH} "Vellarion is running ($R0). Close it, then press Retry."
LangString ProgramRunning ${LANG_RUSSIAN} "Vellarion сейчас запущен ($R0). Закройте программу и нажмите «Повтор»."
LangString OldNotRemoved ${LANG_ENGLISH} "The installed version in $R0 could not be removed (error $R1)."
LangString OldNotRemoved ${LANG_RUSSIAN} "Не удалось удалить установленную версию из $R0 (ошибка $R1)."
LangString PathTooLong ${LANG_ENGLISH} "PATH is too long to be changed safely: vellarion-cli was not added to it."
LangString PathTooLong ${LANG_RUSSIAN} "Переменная PATH слишком длинная, чтобы безопасно изменить её: vellarion-cli в неё не добавлен."
LangString ShortcutText ${LANG_ENGLISH} "Back up and restore the settings and data of web browsers"
LangString ShortcutText ${LANG_RUSSIAN} "Резервное копирование и восстановление настроек и данных браузеров"
LangString RemoveSchedules ${LANG_ENGLISH} "Also remove the scheduled backups made with Vellarion?$\r$\n$\r$\nWithout the program they cannot run any more. The backups already made are kept."
LangString RemoveSchedules ${LANG_RUSSIAN} "Удалить также расписания резервного копирования, созданные в Vellarion?$\r$\n$\r$\nБез программы они больше не смогут выполняться. Уже созданные резервные копии останутся."
LangString ScheduleRemoved ${LANG_ENGLISH} "Removed the scheduled backup $R2"
LangString ScheduleRemoved ${LANG_RUSSIAN} "Удалено расписание $R2"
LangString ScheduleNotRemoved ${LANG_ENGLISH} "Could not remove the scheduled backup $R2: $R3"
LangString ScheduleNotRemoved ${LANG_RUSSIAN} "Не удалось удалить расписание $R2: $R3"
LangString SettingsKept ${LANG_ENGLISH} "Your settings are kept in $INSTDIR\vellarion.ini."
LangString SettingsKept ${LANG_RUSSIAN} "Ваши настройки сохранены в $INSTDIR\vellarion.ini."
LangString UninstallNeedsAdmin ${LANG_ENGLISH} "Vellarion is installed for all users: removing it needs administrator rights."
LangString UninstallNeedsAdmin ${LANG_RUSSIAN} "Vellarion установлен для всех пользователей: для его удаления нужны права администратора."

; ---------------------------------------------------------------------------
; Pieces both the installer and the uninstaller use.

; Waits until the program $R0 names no longer runs (a running exe cannot be
; opened for writing); aborts the section when the user cancels, and at once
; when silent.
!macro CHECK_NOT_RUNNING_FUNCTION UN
Function ${UN}WaitUntilClosed
  Push $0
  ${Do}
    ${IfNot} ${FileExists} $R0
      ${Break}
    ${EndIf}
    ClearErrors
    FileOpen $0 $R0 a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ProgramRunning)" /SD IDCANCEL IDRETRY +2
    Abort
  ${Loop}
  Pop $0
FunctionEnd

; Neither program runs from $INSTDIR.
Function ${UN}CheckNotRunning
  Push $R0
  StrCpy $R0 "$INSTDIR\vellarion.exe"
  Call ${UN}WaitUntilClosed
  StrCpy $R0 "$INSTDIR\vellarion-cli.exe"
  Call ${UN}WaitUntilClosed
  Pop $R0
FunctionEnd
!macroend
!insertmacro CHECK_NOT_RUNNING_FUNCTION ""
!insertmacro CHECK_NOT_RUNNING_FUNCTION "un."

; The PATH of the mode (the user's, or the system's for all users): $R0 its
; value, "" when there is none; the error flag when it is there but cannot be
; read whole (longer than NSIS's strings), and must then be left alone.
!macro READ_PATH_FUNCTION UN
Function ${UN}ReadPath
  Push $0
  Push $1
  ClearErrors
  ${If} $AllUsers == 1
    ReadRegStr $R0 HKLM "${SYSTEM_ENVIRONMENT}" "Path"
  ${Else}
    ReadRegStr $R0 HKCU "${USER_ENVIRONMENT}" "Path"
  ${EndIf}
  ${If} ${Errors}
    ; Absent, or there and unreadable: only the first may be written.
    StrCpy $R0 ""
    StrCpy $0 0
    ${Do}
      ClearErrors
      ${If} $AllUsers == 1
        EnumRegValue $1 HKLM "${SYSTEM_ENVIRONMENT}" $0
      ${Else}
        EnumRegValue $1 HKCU "${USER_ENVIRONMENT}" $0
      ${EndIf}
      ${If} ${Errors}
      ${OrIf} $1 == ""
        ClearErrors
        ${Break}
      ${EndIf}
      ${If} $1 == "Path"
        SetErrors
        ${Break}
      ${EndIf}
      IntOp $0 $0 + 1
    ${Loop}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; Writes $R0 as the PATH of the mode (deleted when empty), expandable when it
; holds a %VARIABLE% as Windows' own editor does, and tells running programs.
Function ${UN}WritePath
  ${If} $AllUsers == 1
    ${If} $R0 == ""
      DeleteRegValue HKLM "${SYSTEM_ENVIRONMENT}" "Path"
    ${Else}
      WriteRegExpandStr HKLM "${SYSTEM_ENVIRONMENT}" "Path" $R0
    ${EndIf}
  ${Else}
    ${If} $R0 == ""
      DeleteRegValue HKCU "${USER_ENVIRONMENT}" "Path"
    ${Else}
      Push $R0
      Push "%"
      Call ${UN}Contains
      Pop $0
      ${If} $0 == 1
        WriteRegExpandStr HKCU "${USER_ENVIRONMENT}" "Path" $R0
      ${Else}
        WriteRegStr HKCU "${USER_ENVIRONMENT}" "Path" $R0
      ${EndIf}
    ${EndIf}
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=1000
FunctionEnd

; Pushes 1 when the text contains the character, else 0 (stack: text, char).
Function ${UN}Contains
  Exch $1 ; the character
  Exch
  Exch $0 ; the text
  Push $2
  Push $3
  StrCpy $3 0
  ${Do}
    StrCpy $2 $0 1 $3
    ${If} $2 == ""
      StrCpy $0 0
      ${Break}
    ${EndIf}
    ${If} $2 == $1
      StrCpy $0 1
      ${Break}
    ${EndIf}
    IntOp $3 $3 + 1
  ${Loop}
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; $R0 without its entries naming $INSTDIR (with or without a trailing
; backslash, letters in any case); $R1 1 when there was one. Other entries,
; empty ones too, keep their order.
Function ${UN}WithoutInstDir
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $R1 0
  StrCpy $2 $R0 ; the rest to walk
  StrCpy $R0 ""
  StrCpy $5 0   ; entries kept
  ${DoUntil} $2 == ""
    StrCpy $3 0
    ${Do}
      StrCpy $4 $2 1 $3
      ${If} $4 == ""
      ${OrIf} $4 == ";"
        ${Break}
      ${EndIf}
      IntOp $3 $3 + 1
    ${Loop}
    StrCpy $4 $2 $3 ; the entry
    IntOp $3 $3 + 1
    StrCpy $2 $2 "" $3
    ${If} $4 == $INSTDIR
    ${OrIf} $4 == "$INSTDIR\"
      StrCpy $R1 1
    ${ElseIf} $5 == 0
      StrCpy $R0 $4
      StrCpy $5 1
    ${Else}
      StrCpy $R0 "$R0;$4"
    ${EndIf}
  ${Loop}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
FunctionEnd

; Takes $INSTDIR out of the PATH of the mode, when it is there.
Function ${UN}RemoveFromPath
  Push $R0
  Push $R1
  Call ${UN}ReadPath
  ${IfNot} ${Errors}
    Call ${UN}WithoutInstDir
    ${If} $R1 == 1
      Call ${UN}WritePath
    ${EndIf}
  ${EndIf}
  Pop $R1
  Pop $R0
FunctionEnd
!macroend
!insertmacro READ_PATH_FUNCTION ""
!insertmacro READ_PATH_FUNCTION "un."

; The shell folders and the default folder of the mode; an installed
; version of the same mode keeps its folder, unless /D named another.
Function ApplyMode
  ${If} $AllUsers == 1
    SetShellVarContext all
    StrCpy $0 "$PROGRAMFILES64\${PRODUCT}"
  ${Else}
    SetShellVarContext current
    StrCpy $0 "$LOCALAPPDATA\Programs\${PRODUCT}"
  ${EndIf}
  ReadRegStr $1 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $1 != ""
    StrCpy $0 $1
  ${EndIf}
  ${If} $DirGiven != 1
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------
; The installer.

Section "$(SecProgram)" SecProgram
  SectionIn RO
  Call CheckNotRunning
  ; The installed version of this mode, wherever it lies, takes its own
  ; program files away first.
  ReadRegStr $R0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 != ""
  ${AndIf} ${FileExists} "$R0\uninstall.exe"
    ${If} $R0 != $INSTDIR
      Push $INSTDIR
      StrCpy $INSTDIR $R0
      Call CheckNotRunning
      Pop $INSTDIR
    ${EndIf}
    ClearErrors
    ExecWait '"$R0\uninstall.exe" /S /UPGRADE _?=$R0' $R1
    ${If} ${Errors}
    ${OrIf} $R1 != 0
      MessageBox MB_OK|MB_ICONSTOP "$(OldNotRemoved)" /SD IDOK
      Abort
    ${EndIf}
    Delete "$R0\uninstall.exe"
    ${If} $R0 != $INSTDIR
      ; Moved elsewhere: the settings move along, unless the new folder has its own.
      ${If} ${FileExists} "$R0\vellarion.ini"
      ${AndIfNot} ${FileExists} "$INSTDIR\vellarion.ini"
        CreateDirectory $INSTDIR
        CopyFiles /SILENT "$R0\vellarion.ini" "$INSTDIR\vellarion.ini"
        ${If} ${FileExists} "$INSTDIR\vellarion.ini"
          Delete "$R0\vellarion.ini"
        ${EndIf}
      ${EndIf}
      RMDir $R0
      Push $INSTDIR
      StrCpy $INSTDIR $R0
      Call RemoveFromPath
      Pop $INSTDIR
    ${EndIf}
  ${EndIf}

  !insertmacro VELLARION_INSTALL_FILES
  SetOutPath $INSTDIR
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\vellarion.exe" "" \
    "$INSTDIR\vellarion.exe" 0 SW_SHOWNORMAL "" "$(ShortcutText)"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vellarion.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "URLInfoAbout" "${HOMEPAGE}"
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The choice is kept in the Uninstall key, so that an upgrade (silent ones
; too) keeps it.
Section /o "$(SecPath)" SecPath
  Push $R0
  Push $R1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "AddToPath" 1
  Call ReadPath
  ${If} ${Errors}
    DetailPrint "$(PathTooLong)"
  ${Else}
    Call WithoutInstDir
    ${If} $R1 != 1
      StrLen $0 "$R0;$INSTDIR"
      ${If} $0 >= ${NSIS_MAX_STRLEN}
        DetailPrint "$(PathTooLong)"
      ${Else}
        ${If} $R0 == ""
          StrCpy $R0 $INSTDIR
        ${Else}
          StrCpy $R0 "$R0;$INSTDIR"
        ${EndIf}
        Call WritePath
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Pop $R1
  Pop $R0
SectionEnd

Section "-PathNotAsked"
  ${IfNot} ${SectionIsSelected} ${SecPath}
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "AddToPath" 0
    Call RemoveFromPath
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "$(SecProgramText)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPath} "$(SecPathText)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  UserInfo::GetAccountType
  Pop $Privileges
  StrCpy $DirGiven 0
  ${If} $INSTDIR != ""
    StrCpy $DirGiven 1
  ${EndIf}
  StrCpy $AllUsers 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AllUsers" $R1
  ${IfNot} ${Errors}
    ${If} $Privileges != "Admin"
      MessageBox MB_OK|MB_ICONSTOP "$(AllUsersNeedsAdmin)" /SD IDOK
      SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
      Quit
    ${EndIf}
    StrCpy $AllUsers 1
  ${EndIf}
  Call ApplyMode
  Call PathDefault
  ClearErrors
  ${GetOptions} $R0 "/AddToPath" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecPath}
  ${EndIf}
FunctionEnd

; Ticked when the installed version of the mode had it.
Function PathDefault
  ReadRegDWORD $0 SHCTX "${UNINSTALL_KEY}" "AddToPath"
  ${If} $0 == 1
    !insertmacro SelectSection ${SecPath}
  ${Else}
    !insertmacro UnselectSection ${SecPath}
  ${EndIf}
FunctionEnd

; Shown only to an elevated installer: otherwise it is for the current user.
Function ModePage
  ${If} $Privileges != "Admin"
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "$(ModeTitle)" "$(ModeSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 10u 20u -10u 12u "$(ModeMine)"
  Pop $ModeMine
  ${NSD_CreateRadioButton} 10u 40u -10u 12u "$(ModeAll)"
  Pop $ModeAll
  ${If} $AllUsers == 1
    ${NSD_Check} $ModeAll
  ${Else}
    ${NSD_Check} $ModeMine
  ${EndIf}
  nsDialogs::Show
FunctionEnd

; An installer for all users runs elevated, and so would the program it
; started: it offers to start it only for the current user.
Function FinishShow
  ${If} $AllUsers == 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $ModeAll $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AllUsers 1
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
  Call ApplyMode
  Call PathDefault
FunctionEnd

; ---------------------------------------------------------------------------
; The uninstaller.

; The schedules of the user who runs it, as the program lists them (its own
; tasks only: "schedule list" reads the program's list of them, and
; "schedule remove" deletes the task and forgets it). Asked, unless silent:
; then they go.
Function un.RemoveSchedules
  ${IfNot} ${FileExists} "$INSTDIR\vellarion-cli.exe"
    Return
  ${EndIf}
  nsExec::ExecToStack '"$INSTDIR\vellarion-cli.exe" schedule list'
  Pop $0
  Pop $R0
  ${If} $0 != 0
  ${OrIf} $R0 == ""
    Return
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONQUESTION "$(RemoveSchedules)" /SD IDYES IDYES +2
  Return
  ; One at a time, the first of the list each round: the list may be
  ; longer than one of NSIS's strings. A removal that fails ends the rounds.
  ${ForEach} $R9 1 1000 + 1
    ; The id is the first line's text up to its first tab.
    StrCpy $R2 ""
    StrCpy $1 0
    ${Do}
      StrCpy $2 $R0 1 $1
      ${If} $2 == ""
      ${OrIf} $2 == "$\t"
      ${OrIf} $2 == "$\r"
      ${OrIf} $2 == "$\n"
        ${Break}
      ${EndIf}
      StrCpy $R2 "$R2$2"
      IntOp $1 $1 + 1
    ${Loop}
    nsExec::ExecToStack '"$INSTDIR\vellarion-cli.exe" schedule remove "$R2"'
    Pop $0
    Pop $R3
    ${If} $0 != 0
      DetailPrint "$(ScheduleNotRemoved)"
      ${Break}
    ${EndIf}
    DetailPrint "$(ScheduleRemoved)"
    nsExec::ExecToStack '"$INSTDIR\vellarion-cli.exe" schedule list'
    Pop $0
    Pop $R0
    ${If} $0 != 0
    ${OrIf} $R0 == ""
      ${Break}
    ${EndIf}
  ${Next}
FunctionEnd

Section "Uninstall"
  Call un.CheckNotRunning
  ${If} $Upgrade != 1
    Call un.RemoveSchedules
  ${EndIf}
  !insertmacro VELLARION_UNINSTALL_FILES
  ${If} $Upgrade == 1
    Return
  ${EndIf}
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Call un.RemoveFromPath
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  ${If} ${FileExists} "$INSTDIR\vellarion.ini"
    DetailPrint "$(SettingsKept)"
  ${EndIf}
  RMDir $INSTDIR
SectionEnd

Function un.onInit
  UserInfo::GetAccountType
  Pop $Privileges
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/UPGRADE" $R1
  StrCpy $Upgrade 0
  ${IfNot} ${Errors}
    StrCpy $Upgrade 1
  ${EndIf}
  ; Installed for all users when the machine's key names this folder.
  StrCpy $AllUsers 0
  SetShellVarContext current
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $AllUsers 1
    SetShellVarContext all
    ${If} $Privileges != "Admin"
      ${IfNot} ${Silent}
        ; Started from "Apps & features" without elevation: again, elevated.
        ClearErrors
        ExecShell "runas" "$INSTDIR\uninstall.exe"
        ${IfNot} ${Errors}
          Quit
        ${EndIf}
      ${EndIf}
      MessageBox MB_OK|MB_ICONSTOP "$(UninstallNeedsAdmin)" /SD IDOK
      SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd
