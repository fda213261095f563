; Quillmark's own installer, Quillmark-setup.exe (Inno Setup 6).
;
; Two files beside this one are written at packaging time from the Windows install tree
; (cmake -P MakeInstallerIncludes.cmake, see CONTRIBUTING.md): Build.iss (version and SourceDir) and
; Files.iss, the [Files] section, which our own quillmark-cli writes:
;   quillmark-cli files <install tree>\ --dest {app} --flags ignoreversion
; Then: ISCC Quillmark.iss
;
; The update of an installed Quillmark runs this installer with
;   /SILENT /CLOSEAPPLICATIONS /SUPPRESSMSGBOXES /LANG=<language> /MERGETASKS="runcmd1"
; so the language names are those of the Language folder, and the task runcmd1 starts the
; program once it is installed.

[Setup]
AppId={{6F2C4E1A-8B3D-4F7A-9C5E-2D1B0A9E8F47}
AppName=Quillmark
AppPublisher=Quillmark Team
AppPublisherURL=https://quillmark.example
AppCopyright=Copyright (C) 2026 Quillmark Team
#include "Build.iss"
DefaultDirName={autopf}\Quillmark
DefaultGroupName=Quillmark
DisableProgramGroupPage=yes
OutputBaseFilename=Quillmark-setup
OutputDir=.
UninstallDisplayIcon={app}\quillmark.exe
ArchitecturesAllowed=x64compatible
ArchitecturesInstallIn64BitMode=x64compatible
MinVersion=10.0.10240
PrivilegesRequiredOverridesAllowed=dialog
CloseApplications=yes
WizardStyle=modern
Compression=lzma2
SolidCompression=yes

[Languages]
Name: "English"; MessagesFile: "compiler:Default.isl"
Name: "Russian"; MessagesFile: "compiler:Languages\Russian.isl"

[Tasks]
Name: "desktopicon"; Description: "{cm:CreateDesktopIcon}"; GroupDescription: "{cm:AdditionalIcons}"; Flags: unchecked
Name: "runcmd1"; Description: "{cm:LaunchProgram,Quillmark}"; Flags: unchecked

#include "Files.iss"

[Icons]
Name: "{autoprograms}\Quillmark"; Filename: "{app}\quillmark.exe"
Name: "{autodesktop}\Quillmark"; Filename: "{app}\quillmark.exe"; Tasks: desktopicon

[Run]
Filename: "{app}\quillmark.exe"; Tasks: runcmd1; Flags: nowait
