#pragma once

// Whole text files in the encodings of the settings and language files: UTF-8 (with or without
// a byte-order mark) and UTF-16 in either byte order (with a mark).

#include <QString>

enum class TTextEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE };

// The text of `path`, its encoding told by the byte-order mark (UTF-8 without one). False in
// `ok` when the file cannot be read (a missing file reads as empty).
QString ReadTextFile(const QString& path, TTextEncoding* encoding = nullptr, bool* ok = nullptr);

// Replaces `path` with `text` in `encoding` (a byte-order mark where the encoding has one),
// through a temporary file: a failed write leaves the old file. Returns an error message, or an
// empty text on success.
QString WriteTextFile(const QString& path, const QString& text, TTextEncoding encoding);
