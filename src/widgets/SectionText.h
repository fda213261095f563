#pragma once

// The lines of a generated section, kept compactly for a view that shows a few of them at a
// time: UTF-8 in large blocks that are never moved (appending copies each line once), with an
// index of where each line starts. A 100 MB section costs about its own size, where a text
// document costs several times that.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

// A place in the text: a line and a position in it, in UTF-16 units.
struct TTextPos {
    qsizetype Line = 0;
    qsizetype Column = 0;
    friend auto operator<=>(const TTextPos&, const TTextPos&) = default;
};

class TSectionText {
public:
    void Clear();
    void Append(QStringView line);
    void Append(const QStringList& lines);
    // Lines each ending in CR LF.
    void AppendText(QStringView lines);

    [[nodiscard]] qsizetype LineCount() const { return static_cast<qsizetype>(FLines.size()); }
    [[nodiscard]] QString Line(qsizetype index) const;
    // In UTF-16 units, without decoding an ASCII line.
    [[nodiscard]] qsizetype LineLength(qsizetype index) const;
    // Whether a line begins with `ascii`, read without decoding it.
    [[nodiscard]] bool LineStartsWith(qsizetype index, QByteArrayView ascii) const {
        return Bytes(index).startsWith(ascii);
    }
    // The longest line's length, in UTF-16 units.
    [[nodiscard]] qsizetype LongestLine() const { return FLongest; }
    // The size of the lines in UTF-8, as a file holds them (without line breaks).
    [[nodiscard]] qsizetype Utf8Size() const;

    // The text as one string with the lines joined by one character ('\n'), as the view offers
    // it to assistive tools: its length, and a position's offset in it and back (an offset
    // past the end is the end; one on a line's '\n' is that line's end).
    [[nodiscard]] qsizetype JoinedSize() const;
    [[nodiscard]] qsizetype OffsetOf(TTextPos pos) const;
    [[nodiscard]] TTextPos PosOf(qsizetype offset) const;
    // The joined text from one offset to another.
    [[nodiscard]] QString Joined(qsizetype from, qsizetype to) const;

    // The text from `from` to `to`, lines separated by `separator`.
    // `size`, when known, is the result's.
    [[nodiscard]] QString Text(TTextPos from, TTextPos to, QStringView separator,
                               qsizetype size = 0) const;
    // Every line, each followed by `separator` but the last.
    [[nodiscard]] QString All(QStringView separator) const;

private:
    struct TLine {
        std::uint32_t Block;
        std::uint32_t Offset; // top bit: the line is ASCII
    };
    static constexpr std::uint32_t kAscii = 0x80000000u;
    static constexpr qsizetype kBlockSize = qsizetype(4) << 20;

    struct TBlock {
        std::unique_ptr<char[]> Bytes;
        qsizetype Size = 0;
        qsizetype Capacity = 0;
    };
    char* Reserve(qsizetype bytes);
    [[nodiscard]] QByteArrayView Bytes(qsizetype index) const;
    [[nodiscard]] bool IsAscii(qsizetype index) const { return FLines[index].Offset & kAscii; }

    // Where every kStartStride-th line starts in the joined text: offsets without a second
    // index of the size of the first.
    static constexpr qsizetype kStartStride = 64;

    std::vector<TBlock> FBlocks;
    std::vector<TLine> FLines;
    std::vector<qsizetype> FStarts;
    qsizetype FLongest = 0;
    qsizetype FUtf16Size = 0;
};
