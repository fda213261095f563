#pragma once

// The parsed form of a registry export: keys in file order, each with its values in file order.

#include <QList>
#include <QString>
#include <QStringView>
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

// Why the registry editor would not import a line.
enum class TRegLineFault : std::uint8_t {
    None,
    // A value line with a name: the writer names the value.
    TextAfterQuote,   // text after a string's closing quote: "B"="x"junk
    NotData,          // data that is no quoted string, dword:, hex...: or -: "N"=text, "N"=-"x"
    NulEscape,        // \0 written inside a quoted string
    HashLineInData,   // a "#" line inside continued hex data
    BackslashNoComma, // hex data continued with no comma before the backslash (20\ at the end)
    // Any other line; Data holds it as written and Name is empty.
    NotKeyOrValue,   // neither "[...]" nor a value line ("name"=... or @=...)
    NoEquals,        // a value name that is not closed, or not followed by "="
    OutsideKey,      // a value line before the first key
    UnderDeletedKey, // a value line under [-key]
};

// The line faults whose value has no name: Data holds the line as written.
inline bool IsWholeLineFault(TRegLineFault fault) {
    return fault >= TRegLineFault::NotKeyOrValue;
}

// A value: stored with its own strings (TRegValue), or as the writer reads it (TRegValueView),
// a stored value or one a streamed line gave, whose text lives only until the next line.
template <typename Text> struct TRegValueOf {
    // The name with the export's escapes undone; empty for the default value (@).
    Text Name;
    TRegDataType DataType = TRegDataType::rdUnknown;
    // rdString: the string itself (enclosing quotes removed, escapes undone when it was quoted).
    // Other types: the data as written, prefix included, continuation lines joined.
    Text Data;
    // The line was `"name"=-`: the export deletes this value.
    bool Deleted = false;
    TRegLineFault Fault = TRegLineFault::None;
};
using TRegValue = TRegValueOf<QString>;
using TRegValueView = TRegValueOf<QStringView>;

inline TRegValueView View(const TRegValue& value) {
    return {value.Name, value.DataType, value.Data, value.Deleted, value.Fault};
}

struct TRegKey {
    QString Path; // as written between the brackets, without the deletion mark
    QList<TRegValue> Values;
    // The line was `[-path]`: the export deletes this key (and ignores values written under it).
    bool Deleted = false;
    // The key line has no closing "]": Path is the text after "[", and nothing is imported.
    bool Unclosed = false;
    // No key line: the lines read before the first key, none of which is imported.
    bool LinesOnly = false;
};
