#pragma once
// What a fuzz target says when an input breaks a rule of the parser it drives: the rule, the
// input's text, then an abort, which libFuzzer keeps as a crash and the corpus runner turns
// into a failed test.
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

[[noreturn]] inline void fail(const char* file, int line, const char* rule, const QString& detail) {
    std::fprintf(stderr, "%s:%d: broken: %s\n  %s\n", file, line, rule, qPrintable(detail));
    std::abort();
}

// The input as text the way a person's typing or a UTF-8 file reaches the parser.
inline QString utf8(const uint8_t* data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline QByteArray bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

} // namespace fuzz

#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::fuzz::fail(__FILE__, __LINE__, #condition, (detail));                                \
    } while (false)
