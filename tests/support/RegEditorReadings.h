#pragma once

// Export lines the registry editor reads in a way easy to get wrong, each with the section the
// converter writes for it. The unit tests convert each case alone; the real-install lane joins
// them into one export and installs the section against what wine's regedit imports from it.
// The readings come from Wine's regedit conformance tests, which run on Windows. Where wine's
// regedit reads a case otherwise, the case says why we do not follow it, and the lane checks
// that wine still differs there.

#include <QString>
#include <QStringList>

struct TRegEditorReading {
    const char* Name;
    const char* Export;  // key and value lines, LF-separated, without the header
    const char* Section; // the lines after "[Registry]"
    // Why wine's regedit cannot judge this case (Windows' editor holds); null when it can.
    const char* WineDiffers = nullptr;
    const char* Header = "Windows Registry Editor Version 5.00"; // the lines before the keys
    bool Ansi = false; // the file is saved in an 8-bit code page, not in UTF-16
};

inline constexpr TRegEditorReading kRegEditorReadings[] = {
    {"a quoted @ is a name beside the default value",
     "[HKEY_CURRENT_USER\\QM\\a]\n\"@\"=\"named at\"\n@=\"default\"",
     R"(Root: HKCU; Subkey: "QM\a";
Root: HKCU; Subkey: "QM\a"; ValueType: string; ValueName: "@"; ValueData: "named at";
Root: HKCU; Subkey: "QM\a"; ValueType: string; ValueName: ""; ValueData: "default";)"},
    {"header text in names and data is text",
     "[HKEY_CURRENT_USER\\QM\\Windows Registry Editor]\n"
     "\"Windows Registry Editor\"=\"Windows Registry Editor Version 5.00\"",
     R"(Root: HKCU; Subkey: "QM\Windows Registry Editor";
Root: HKCU; Subkey: "QM\Windows Registry Editor"; ValueType: string; ValueName: "Windows Registry Editor"; ValueData: "Windows Registry Editor Version 5.00";)"},
    {"continued data skips blank and ; lines, a # line ends it",
     "[HKEY_CURRENT_USER\\QM\\c]\n\"b\"=hex:01,02,\\\n\n; note\n  03,04\n\"h\"=hex:01,\\\n# ends "
     "it\n"
     "  02\n\"after\"=\"x\"",
     R"(Root: HKCU; Subkey: "QM\c";
Root: HKCU; Subkey: "QM\c"; ValueType: binary; ValueName: "b"; ValueData: "01 02 03 04";
; Not converted: value "h" of [HKEY_CURRENT_USER\QM\c]: a # line inside its continued data ends it, and the registry editor does not import it
; Not converted: the registry editor imports only key lines [...] and value lines "name"=... or @=...: 02
Root: HKCU; Subkey: "QM\c"; ValueType: string; ValueName: "after"; ValueData: "x";)"},
    {"a key path ends at the last ]", "[HKEY_CURRENT_USER\\QM\\d] ; note\n\"v\"=\"1\"",
     R"(Root: HKCU; Subkey: "QM\d";
Root: HKCU; Subkey: "QM\d"; ValueType: string; ValueName: "v"; ValueData: "1";)"},
    {"a malformed hex item costs its value only",
     "[HKEY_CURRENT_USER\\QM\\e]\n\"h1\"=hex:01,00  #comment\n\"h2\"=hex(2):48\\,4f,00,00\n"
     "\"h3\"=hex:01,,02\n\"ok\"=dword:00000001",
     R"(Root: HKCU; Subkey: "QM\e";
; Not converted: value "h1" of [HKEY_CURRENT_USER\QM\e]: "00  #comment" is not a hexadecimal byte
; Not converted: value "h2" of [HKEY_CURRENT_USER\QM\e]: "48\" is not a hexadecimal byte
; Not converted: value "h3" of [HKEY_CURRENT_USER\QM\e]: the byte list has an empty item
Root: HKCU; Subkey: "QM\e"; ValueType: dword; ValueName: "ok"; ValueData: $00000001;)"},
    {"a minus with text after it deletes nothing",
     "[HKEY_CURRENT_USER\\QM\\f]\n\"N\"=-\"x\"\n\"M\"=- #comment\n\"D\"=- ;comment",
     R"(Root: HKCU; Subkey: "QM\f";
; Not converted: value "N" of [HKEY_CURRENT_USER\QM\f]: the registry editor imports only a quoted string, dword:, hex: or - as data
; Not converted: value "M" of [HKEY_CURRENT_USER\QM\f]: the registry editor imports only a quoted string, dword:, hex: or - as data
Root: HKCU; Subkey: "QM\f"; ValueType: none; ValueName: "D"; Flags: deletevalue;)"},
    {"value lines the registry editor does not import",
     "[HKEY_CURRENT_USER\\QM\\g]\n\"e1\"=\n\"e2\"=text\n\"e3\"=\"text\nName=\"x\"\n\"A=B\"\n"
     "\xe2\x80\x9cShowSeconds\xe2\x80\x9d=dword:00000001\n\"kept\"=\"a\\\\0b\"",
     R"(Root: HKCU; Subkey: "QM\g";
; Not converted: value "e1" of [HKEY_CURRENT_USER\QM\g]: the registry editor imports only a quoted string, dword:, hex: or - as data
; Not converted: value "e2" of [HKEY_CURRENT_USER\QM\g]: the registry editor imports only a quoted string, dword:, hex: or - as data
; Not converted: value "e3" of [HKEY_CURRENT_USER\QM\g]: the registry editor imports only a quoted string, dword:, hex: or - as data
; Not converted: the registry editor imports only key lines [...] and value lines "name"=... or @=...: Name="x"
; Not converted: the registry editor imports no value whose quoted name is not followed by =: "A=B"
; Not converted: the registry editor imports only key lines [...] and value lines "name"=... or @=...: “ShowSeconds”=dword:00000001
Root: HKCU; Subkey: "QM\g"; ValueType: string; ValueName: "kept"; ValueData: "a\0b";)"},
    {"a blank before the bracket is part of the key", "[HKEY_CURRENT_USER\\QM\\h ]\n\"v\"=\"1\"",
     R"(Root: HKCU; Subkey: "QM\h ";
Root: HKCU; Subkey: "QM\h "; ValueType: string; ValueName: "v"; ValueData: "1";)"},
    {"continued data takes the next line, whatever it holds",
     "[HKEY_CURRENT_USER\\QM\\i]\n\"w\"=hex:01,02\\\n\"x\"=\"after\"\n\"y\"=hex:01,\\\n"
     "[HKEY_CURRENT_USER\\QM\\i2]\n\"z\"=\"in i\"",
     R"(Root: HKCU; Subkey: "QM\i";
; Not converted: value "w" of [HKEY_CURRENT_USER\QM\i]: its data goes on over a backslash that follows no comma, which the registry editor does not import
Root: HKCU; Subkey: "QM\i"; ValueType: string; ValueName: "x"; ValueData: "after";
; Not converted: value "y" of [HKEY_CURRENT_USER\QM\i]: "[HKEY_CURRENT_USER\QM\i2]" is not a hexadecimal byte
Root: HKCU; Subkey: "QM\i"; ValueType: string; ValueName: "z"; ValueData: "in i";)"},
    {"a string holding \\0 is not imported",
     "[HKEY_CURRENT_USER\\QM\\k]\n\"z\"=\"a\\0b\"\n\"v\"=\"1\"",
     R"(Root: HKCU; Subkey: "QM\k";
; Not converted: value "z" of [HKEY_CURRENT_USER\QM\k]: the registry editor does not import a string holding \0
Root: HKCU; Subkey: "QM\k"; ValueType: string; ValueName: "v"; ValueData: "1";)",
     "wine's regedit leaves the line's end unset on \\0 and reads on from wherever that "
     "points, losing lines that follow; Windows' editor does not import the value"},
    {"a header line with a trailing blank", "[HKEY_CURRENT_USER\\QM\\w1]\n\"v\"=\"1\"",
     R"(Root: HKCU; Subkey: "QM\w1";
Root: HKCU; Subkey: "QM\w1"; ValueType: string; ValueName: "v"; ValueData: "1";)",
     "wine's regedit refuses the file and imports nothing; such hand-made exports are in wide "
     "use and import on Windows",
     "Windows Registry Editor Version 5.00 "},
    {"comment lines before the header", "[HKEY_CURRENT_USER\\QM\\w2]\n\"v\"=\"1\"",
     R"(Root: HKCU; Subkey: "QM\w2";
Root: HKCU; Subkey: "QM\w2"; ValueType: string; ValueName: "v"; ValueData: "1";)",
     "wine's regedit takes the first line for the header, refuses the file and imports nothing; "
     "such hand-made exports are in wide use and import on Windows",
     "; made by hand\nWindows Registry Editor Version 5.00"},
    {"a version 5 export saved in an 8-bit code page keeps UTF-16 hex text",
     "[HKEY_CURRENT_USER\\QM\\w3]\n\"p\"=hex(2):25,00,50,00,00,00\n"
     "\"m\"=hex(7):61,00,00,00,62,00,00,00,00,00",
     R"(Root: HKCU; Subkey: "QM\w3";
Root: HKCU; Subkey: "QM\w3"; ValueType: expandsz; ValueName: "p"; ValueData: "%P";
Root: HKCU; Subkey: "QM\w3"; ValueType: multisz; ValueName: "m"; ValueData: "a{break}b";)",
     "wine's regedit reads hex(2) and hex(7) bytes by the file's encoding, so \"%P\" becomes "
     "\"%\"; the bytes are the data as the version 5 editor wrote it, in UTF-16, whatever the "
     "text around them was saved in later",
     "Windows Registry Editor Version 5.00", true},
    {"a string with single backslashes",
     "[HKEY_CURRENT_USER\\QM\\w4]\n\"s\"=\"c:\\windows\\logo.bmp\"",
     R"(Root: HKCU; Subkey: "QM\w4";
Root: HKCU; Subkey: "QM\w4"; ValueType: string; ValueName: "s"; ValueData: "c:\windows\logo.bmp";)",
     "wine's regedit drops each backslash that starts no \\\\ or \\\" (c:windowslogo.bmp); "
     "Windows' editor's tests leave it open, and we keep the path its author wrote"},
    {"values under a deleted key are ignored", "[-HKEY_CURRENT_USER\\QM\\j]\n\"v\"=\"1\"",
     R"(Root: HKCU; Subkey: "QM\j"; Flags: deletekey;
; Not converted: the registry editor ignores values under a key it deletes: "v"="1")"},
};

inline QString RegEditorLines(const char* lines) {
    return QString::fromUtf8(lines).replace(u'\n', QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

// One case as an export of its own.
inline QString RegEditorReadingExport(const TRegEditorReading& r) {
    return RegEditorLines(r.Header) + QStringLiteral("\r\n") + RegEditorLines(r.Export);
}

// The cases wine's regedit can judge as one version 5 export, in order.
inline QString RegEditorReadingsExport() {
    QString text = RegEditorLines(TRegEditorReading{}.Header);
    for (const TRegEditorReading& r : kRegEditorReadings)
        if (!r.WineDiffers)
            text += QStringLiteral("\r\n") + RegEditorLines(r.Export);
    return text;
}
