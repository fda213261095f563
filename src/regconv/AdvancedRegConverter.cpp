#include "regconv/AdvancedRegConverter.h"

#include "regconv/RegConvertError.h"
#include "regconv/RegFileDecoding.h"
#include "regconv/RegLineText.h"

#include <QFileInfo>
#include <new>

using namespace qm::regconv;

TAdvancedRegConverter::TAdvancedRegConverter() = default;
TAdvancedRegConverter::~TAdvancedRegConverter() = default;

bool TAdvancedRegConverter::ConvertFromFileToMemo(const QString& RegFileName,
                                                  ITextSink* OutputMemo) {
    FOutputMemo = OutputMemo;
    if (!OutputMemo || RegFileName.isEmpty() || !QFileInfo::exists(RegFileName))
        return false;
    return Convert([&] { return ReadRegFile(RegFileName, FAnsiCodePage); }, OutputMemo);
}

bool TAdvancedRegConverter::ConvertFromStreamToMemo(QFile& Input, const QString& Name,
                                                    ITextSink* OutputMemo) {
    FOutputMemo = OutputMemo;
    if (!OutputMemo)
        return false;
    return Convert([&] { return ReadRegFile(Input, Name, FAnsiCodePage); }, OutputMemo);
}

bool TAdvancedRegConverter::Convert(const std::function<TRegFileText()>& read, ITextSink* sink) {
    sink->Clear();
    try {
        {
            const TRegFileText file = read();
            FUnicodeHexText = file.Unicode;
            // Hex text of an ANSI file uses the file's code page when the default had to fall
            // back to Windows-1252; otherwise each value is decoded by the same default rule.
            FHexCodePage = !FAnsiCodePage.isEmpty()           ? FAnsiCodePage
                           : file.CodePage == u"windows-1252" ? file.CodePage
                                                              : QString();
            ParseRegLines(SplitRegLines(file.Text));
        } // the file's text is released before the section is written
        GenerateISSContent();
        sink->AppendLines(FISSContent);
        return true;
    } catch (const ERegConvertError& e) {
        sink->AppendLine(QStringLiteral("Error: ") + e.Message());
    } catch (const std::bad_alloc&) {
        FRegKeys.clear();
        FISSContent.clear();
        sink->AppendLine(QStringLiteral("Error: not enough memory to convert this file"));
    }
    return false;
}

QString TAdvancedRegConverter::ConvertFromText(const QString& RegText) {
    FUnicodeHexText = true;
    FHexCodePage = FAnsiCodePage;
    ParseRegLines(SplitRegLines(RegText));
    GenerateISSContent();
    QString out;
    qsizetype size = 0;
    for (const QString& line : FISSContent)
        size += line.size() + 2;
    out.reserve(size);
    for (const QString& line : FISSContent) {
        out.append(line);
        out.append(QLatin1StringView("\r\n"));
    }
    return out;
}
