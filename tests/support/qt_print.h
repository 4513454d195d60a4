#pragma once
// Lets GoogleTest print Qt's strings as text in a failure message rather than as raw bytes.
#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
