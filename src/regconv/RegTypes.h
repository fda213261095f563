#pragma once

// The parsed form of a registry export: keys in file order, each with its values in file order.

#include <QList>
#include <QString>
#include <cstdint>

enum class TRegDataType : std::uint8_t {
    rdString,       // a quoted string, or any data that has none of the prefixes below
    rdExpandString, // "hex(2):"
    rdBinary,       // "hex:", and any other "hex..." form (the writer tells them apart)
    rdDWord,        // "dword:"
    rdMultiString,  // "hex(7):"
    rdQWord,        // "hex(b):"
    rdUnknown,      // never stored; the state while a line is parsed
};

// Why the registry editor would not import a value line.
enum class TRegLineFault : std::uint8_t {
    None,
    TextAfterQuote, // text after a string's closing quote: "B"="x"junk
};

struct TRegValue {
    // The name with the export's escapes undone; "@" for the default value.
    QString Name;
    TRegDataType DataType = TRegDataType::rdUnknown;
    // rdString: the string itself (enclosing quotes removed, escapes undone when it was quoted).
    // Other types: the data as written, prefix included, continuation lines joined.
    QString Data;
    // The line was `"name"=-`: the export deletes this value.
    bool Deleted = false;
    TRegLineFault Fault = TRegLineFault::None;
};

struct TRegKey {
    QString Path; // as written between the brackets, without the deletion mark
    QList<TRegValue> Values;
    // The line was `[-path]`: the export deletes this key (and ignores values written under it).
    bool Deleted = false;
};
