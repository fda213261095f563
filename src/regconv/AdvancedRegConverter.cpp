#include "regconv/AdvancedRegConverter.h"

#include "innotext/InnoText.h"
#include "regconv/RegConvertError.h"
#include "regconv/RegFileDecoding.h"
#include "regconv/RegLineText.h"

#include <QFileInfo>
#include <cstring>
#include <new>

using namespace qm::innotext;
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

bool TAdvancedRegConverter::Convert(const std::function<TRegFileText()>& read, ITextSink* sink) {
    sink->Clear();
    try {
        {
            const TRegFileText file = read();
            UseHexTextEncoding(file.Unicode, file.CodePage);
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
        FOut = {};
        sink->AppendLine(QStringLiteral("Error: not enough memory to convert this file"));
    }
    return false;
}

void TAdvancedRegConverter::UseHexTextEncoding(bool unicodeFile, const QString& fileCodePage) {
    FUnicodeHexText = unicodeFile;
    // Hex text of an ANSI file uses the file's code page when the default had to fall back to
    // Windows-1252; otherwise each value is decoded by the same default rule.
    FHexCodePage = !FAnsiCodePage.isEmpty()          ? FAnsiCodePage
                   : fileCodePage == u"windows-1252" ? fileCodePage
                                                     : QString();
}

bool TAdvancedRegConverter::StreamToSink(QFile& Input, const QString& Name, ITextSink* Sink,
                                         QString& Error) {
    try {
        if (!Input.isOpen())
            OpenRegFile(Input, Name);
        TRegTextReader reader(Input, Name, FAnsiCodePage);
        FStreaming = true;
        BeginParse();
        BeginWrite();
        FOut.clear();
        AppendLine(u"[Registry]");
        QString text;
        bool first = true;
        quint32 lines = 0;
        for (bool more = true; more;) {
            more = reader.Read(text);
            if (first) // an ANSI file's code page is known once it has been read
                UseHexTextEncoding(reader.Unicode(), reader.CodePage());
            first = false;
            // The complete lines go; a line cut off by the piece's end waits for the rest, and
            // so does a CR at the very end, which may be the first half of a CR LF.
            qsizetype end = text.size();
            if (more) {
                const auto lastBreakBefore = [&](qsizetype at) {
                    while (at > 0 && text[at - 1] != u'\n' && text[at - 1] != u'\r')
                        --at;
                    return at;
                };
                end = lastBreakBefore(end);
                if (end == text.size() && end > 0 && text[end - 1] == u'\r')
                    end = lastBreakBefore(end - 1);
            }
            TLineCursor cursor(QStringView(text).first(end));
            for (QStringView line; cursor.Next(line);) {
                ParseLine(line);
                WriteStreamed();
                if ((++lines & 4095) == 0) {
                    Sink->AppendText(FOut);
                    FOut.clear();
                    if (!Sink->Proceed())
                        throw ERegConvertError(QStringLiteral("the conversion was stopped"));
                }
            }
            // The rest moves to the front of the same buffer: remove(0, end) would only leave
            // the room at the front, and the next piece would need a new buffer every time.
            const qsizetype rest = text.size() - end;
            char16_t* buffer = reinterpret_cast<char16_t*>(text.data());
            std::memmove(buffer, buffer + end, static_cast<size_t>(rest) * sizeof(char16_t));
            text.truncate(rest);
        }
        EndParse();
        WriteStreamed();
        Sink->AppendText(FOut);
    } catch (const ERegConvertError& e) {
        Error = e.Message();
        Sink->AppendText(FOut); // what was written before the error
    } catch (const std::bad_alloc&) {
        Error = QStringLiteral("not enough memory to convert this file");
    }
    FStreaming = false;
    FRegKeys.clear();
    FCurrentKeyIndex = -1;
    FOut = {};
    return Error.isEmpty();
}

void TAdvancedRegConverter::WriteStreamed() {
    if (FNewKey)
        WriteKeyHead(FRegKeys.back());
    if (FNewValue)
        WriteKeyValue(FRegKeys.back(), FValue);
    FNewKey = false;
    FNewValue = false;
}

QString TAdvancedRegConverter::ConvertFromText(const QString& RegText) {
    FUnicodeHexText = true;
    FHexCodePage = FAnsiCodePage;
    ParseRegLines(SplitRegLines(RegText));
    GenerateISSContent();
    return ToQString(FOut);
}
