#pragma once
// How a command of the command line ends when it cannot do its work: a message in plain words
// for standard error and the exit status that tells a script what kind of failure it was.
#include <QString>

namespace cli {

enum ExitStatus { ExitOk = 0, ExitRefused = 1, ExitDatabaseError = 2 };

// Refused input (a missing company, an unknown receipt, a bad date, a refused row) or a
// database failure, with the message to print.
class CommandError {
public:
    CommandError(ExitStatus status, QString message)
        : m_status(status), m_message(std::move(message)) {}
    ExitStatus status() const { return m_status; }
    const QString& message() const { return m_message; }

private:
    ExitStatus m_status;
    QString m_message;
};

[[noreturn]] inline void refuse(const QString& message) {
    throw CommandError(ExitRefused, message);
}

} // namespace cli
