#pragma once

#include <QString>
#include <QStringList>

namespace qm::cli {

// Exit codes of quillmark-cli.
enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1, // the input could not be read or converted
    kExitUsage = 2,  // the command line is wrong
};

// Walks the words of a command line; an option's value is the word after it.
class TArgWalker {
public:
    explicit TArgWalker(const QStringList& args) : m_args(args) {}
    // The next word; false after the last.
    bool Next(QString& word) {
        if (m_at >= m_args.size())
            return false;
        word = m_args[m_at++];
        return true;
    }

private:
    const QStringList& m_args;
    qsizetype m_at = 0;
};

// One line on standard error, prefixed with the program's name.
void PrintError(const QString& message);
// Prints `message` and a pointer to --help; returns kExitUsage.
int UsageError(const QString& message);
// Prints text on standard output as it stands.
void PrintText(const QString& text);

} // namespace qm::cli
