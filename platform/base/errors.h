#pragma once
// The error types every layer raises. Each derives from std::exception so that
// an error raised on one side of the host boundary can be caught on the other.
#include <QString>
#include <exception>
#include <string>

namespace base {

// A failure with a user-readable message (UTF-8 in what(), QString in message()).
class Error : public std::exception {
public:
    explicit Error(QString message);
    const char* what() const noexcept override { return m_utf8.c_str(); }
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
    std::string m_utf8;
};

// A failure reported by the database engine; message() is the engine's own text.
class DatabaseError : public Error {
public:
    enum class Kind {
        General,
        KeyViolation,   // a duplicate key in a unique or primary index
        RecordChanged,  // another user changed the record since it was read
        RecordDeleted,  // another user deleted the record since it was read
        RecordNotFound, // a bookmark or key that no longer exists
        TableNotFound,
        FieldMismatch, // a declared field is missing or has another type or width
        Busy,          // the database stayed locked by another user
        NotConnected,
        InvalidState,   // the operation is not allowed in the dataset's state
        UnsafeLocation, // the database lies on a network file system
        Damaged,        // the database file is damaged (corrupt, or not a database at all)
    };
    explicit DatabaseError(QString message, Kind kind = Kind::General)
        : Error(std::move(message)), m_kind(kind) {}
    Kind kind() const noexcept { return m_kind; }

private:
    Kind m_kind;
};

// Text that is not a number, not a date, too long for its field or outside code page 1250.
class ConversionError : public Error {
public:
    using Error::Error;
};

// Ends an operation silently after a rule has already shown its own message.
class Abort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

// Throws Abort; the name reads as what the rule means.
[[noreturn]] void abortSilently();

} // namespace base
