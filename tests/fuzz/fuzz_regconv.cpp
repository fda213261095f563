// A registry export of any bytes, read and written: the conversion never crashes; read whole or
// streamed it gives the same lines or the same error, one line per key and value; and every
// line it writes is one that Inno Setup accepts as it stands (no line split, no preprocessor
// code run, no parameter injected).

#include "FuzzSupport.h"
#include "InnoRegistryParser.h"
#include "regconv/AdvancedRegConverter.h"
#include "regconv/TextSink.h"

#include <QFile>
#include <cstring>

using namespace qm::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The same bytes as text of any UTF-16 code units, unpaired surrogates included: a
    // conversion error is an answer, a crash is not.
    QString units(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    if (!units.isEmpty())
        std::memcpy(units.data(), data, size / 2 * 2);
    try {
        TAdvancedRegConverter text;
        text.ConvertFromText(units);
    } catch (const std::exception&) {
    }
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = WriteScratchFile(bytes, QStringLiteral("input.reg"));
    // The input's length picks the options and the code page, so the file itself stays as found.
    const TRegConvOptions options{.UninsDeleteKey = size % 4 == 1,
                                  .UninsDeleteKeyIfEmpty = size % 4 == 2,
                                  .UninsDeleteValue = size % 2 == 1};
    const QString codePage = size % 3 == 0 ? QStringLiteral("cp866") : QString();

    TAdvancedRegConverter converter;
    converter.SetOptionsSource([options] { return options; });
    converter.SetAnsiCodePage(codePage);
    TStringListSink whole;
    const bool converted = converter.ConvertFromFileToMemo(path, &whole);

    TAdvancedRegConverter streamer;
    streamer.SetOptionsSource([options] { return options; });
    streamer.SetAnsiCodePage(codePage);
    TStringListSink streamed;
    QFile input(path);
    QString error;
    Require(streamer.StreamToSink(input, path, &streamed, error) == converted,
            "whole and streamed conversions agree on success", error);
    if (!converted) {
        Require(whole.Lines.size() == 1 && whole.Lines[0] == QStringLiteral("Error: ") + error,
                "a failed conversion shows one error line", whole.Lines.join(u'\n'));
        return 0;
    }
    Require(streamed.Lines == whole.Lines, "whole and streamed conversions write the same lines");
    qsizetype expected = 1; // the section header, then one line per key line and per value
    for (const TRegKey& key : converter.RegKeys())
        expected += (key.LinesOnly ? 0 : 1) + key.Values.size();
    Require(whole.Lines.size() == expected, "one line per key and value");
    for (const QString& line : whole.Lines) {
        const qm::testing::InnoLine parsed = qm::testing::ParseInnoRegistryLine(line);
        Require(parsed.Error.isEmpty() && !parsed.Entry.Expands,
                "Inno Setup accepts every line and installs it as written",
                line + u'\n' + parsed.Error);
    }
    return 0;
}
