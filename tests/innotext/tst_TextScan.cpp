// The scans every character of an export goes through, eight at a time on x86-64: each must
// find the same character as a plain loop, wherever in a run of eight it stands.

#include "TestMain.h"
#include "innotext/TextScan.h"

#include <QTest>
#include <functional>
#include <string>

using namespace qm::innotext;

class TestTextScan : public QObject {
    Q_OBJECT

private slots:
    void findsWhatAPlainLoopFinds() {
        // Breaking characters, their neighbours (which break nothing), and the two characters
        // FindEither is asked for.
        const char16_t probes[] = {0,      u'\n',  u'\r',  0x2028, 0x2029, 0xFDD0, 0xFDD1, 0x000B,
                                   0x2027, 0x202A, 0xFDCF, 0xFDD2, 0x8000, u'"',   u'{'};
        const auto plain = [](const std::u16string& s, const std::function<bool(char16_t)>& hit) {
            qsizetype i = 0;
            while (i < qsizetype(s.size()) && !hit(s[size_t(i)]))
                ++i;
            return i;
        };
        for (const char16_t probe : probes) {
            for (qsizetype length = 0; length <= 20; ++length) {
                for (qsizetype at = -1; at < length; ++at) {
                    // `at` -1: no probe; the text is plain letters with a probe at `at`, and
                    // another after it that must not be found first.
                    std::u16string s(size_t(length), u'a');
                    if (at >= 0) {
                        s[size_t(at)] = probe;
                        if (at + 3 < length)
                            s[size_t(at + 3)] = u'\n';
                    }
                    const char16_t* begin = s.data();
                    const char16_t* end = begin + s.size();
                    QCOMPARE(FindScriptLineBreak(begin, end) - begin,
                             plain(s, [](char16_t c) { return BreaksScriptLine(c); }));
                    QCOMPARE(FindEither(begin, end, u'"', u'{') - begin,
                             plain(s, [](char16_t c) { return c == u'"' || c == u'{'; }));
                }
            }
        }
    }
};

QM_TEST_GUILESS_MAIN(TestTextScan)
#include "tst_TextScan.moc"
