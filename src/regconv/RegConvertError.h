#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// A conversion that cannot go on: an unreadable file, or hexadecimal data that is not hex.
// The message is shown to the user after "Error: ".
class ERegConvertError : public std::exception {
public:
    explicit ERegConvertError(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

    [[nodiscard]] const QString& Message() const noexcept { return m_message; }
    [[nodiscard]] const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
