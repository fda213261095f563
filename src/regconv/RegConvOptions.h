#pragma once

#include <QString>
#include <functional>

// Who the installer is run as, for the keys it may write: any (the lines as the export has
// them), administrators only (per-user keys are left out), users without administrative
// rights only (per-machine keys are left out), or either, each line checked at install time.
enum class TRegPrivileges { Any, Admin, Lowest, Dynamic };

// The Registry page's options. When both key options are on (the page never allows it) the
// writer uses uninsdeletekeyifempty.
struct TRegConvOptions {
    bool UninsDeleteKey = false;
    bool UninsDeleteKeyIfEmpty = false;
    bool UninsDeleteValue = false;
    // HKEY_CLASSES_ROOT\X written as HKA, Software\Classes\X: per user or per machine, as the
    // install runs.
    bool ClassesAsHka = false;
    TRegPrivileges Privileges = TRegPrivileges::Any;
    // HKLM\Software\WOW6432Node\X and HKCR\WOW6432Node\X written to the 32-bit view (HKLM32,
    // HKCR32) as X, which is right whether the install runs in 32- or 64-bit mode. (HKCU's
    // Software key is shared by both views: a key under its WOW6432Node stays as it is.)
    bool Wow64View = false;
    // Added to every line as "MinVersion: ...;" when not empty; it must be one the compiler
    // accepts (IsInnoMinVersion).
    QString MinVersion = {};
};

// Read once at the start of each conversion, so a page can hand over its current check states.
using TRegConvOptionsSource = std::function<TRegConvOptions()>;

// Whether Inno Setup's compiler takes `text` as a MinVersion: major[.minor[.build]][spN], with
// major at most 127, minor 99, build 65535 and N 255 (as ISCC 6.4.1 checks them).
bool IsInnoMinVersion(const QString& text);

// "admin", "lowest", "dynamic"; false for any other text.
bool ParseRegPrivileges(const QString& text, TRegPrivileges& privileges);
