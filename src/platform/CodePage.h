#pragma once

// Text in Windows "ANSI" code pages: the encoding of registry exports of the older form and of
// any text file written without a byte-order mark.

#include <optional>
#include <string>
#include <string_view>

namespace qm::platform {

struct AnsiText {
    std::u16string Text;
    // The code page that decoded the bytes: the name asked for, "utf-8" or "windows-1252" when
    // the default chose it, or "system" for the Windows ANSI code page.
    std::string CodePage;
};

// True when `name` names a code page this system can decode ("cp1251", "windows-1251", "1251",
// "ibm866", "koi8-r", "utf-8", ...). The empty name is the default and always known.
bool IsKnownCodePage(std::string_view name);

// Decodes bytes of the code page `name`. The empty name is the system's default: the ANSI code
// page on Windows; elsewhere UTF-8 when the bytes are valid UTF-8, else Windows-1252.
// A byte sequence the code page cannot map becomes U+FFFD; nothing is dropped silently.
// An unknown name decodes nothing and returns an empty CodePage.
AnsiText DecodeAnsi(std::string_view bytes, std::string_view name);

// Encodes text in the system's ANSI code page (Windows-1252 elsewhere, as for decoding); no
// value when a character has no exact form in it (nothing is replaced by a look-alike).
std::optional<std::string> EncodeAnsi(std::u16string_view text);

// Encodes text in the system's OEM code page, the one the command interpreter reads scripts
// in (Windows: GetOEMCP, e.g. 437 or 866; elsewhere, where no such interpreter runs, ASCII
// only); no value when a character has no exact form in it.
std::optional<std::string> EncodeOem(std::u16string_view text);

// Portable pieces the backends share.
bool IsValidUtf8(std::string_view bytes);
// Invalid sequences become U+FFFD.
std::u16string DecodeUtf8(std::string_view bytes);
// Unpaired surrogates become U+FFFD.
std::string EncodeUtf8(std::u16string_view text);
std::u16string DecodeWindows1252(std::string_view bytes);
// No value when a character is not in Windows-1252.
std::optional<std::string> EncodeWindows1252(std::u16string_view text);
// "cp1251", "windows-1251", "CP-1251", "1251" -> 1251; "ibm866" -> 866; 0 when not that shape.
unsigned NumberedCodePage(std::string_view name);

} // namespace qm::platform
