#pragma once
// The host's reference-counted 8-bit strings (code page 1250). They are allocated from the
// shared memory manager, so either side of the host boundary may release a string the other
// allocated.
//
// A string is the address of its first character. In front of the characters sit a 32-bit
// reference count and a 32-bit length; a zero byte follows the last character. The empty
// string is the null pointer. A constant string (reference count -1) lives in a library's
// read-only data: it is never counted or released, and is copied before it could be changed.
// Counts change atomically, so strings may be shared between threads like any value.
#include <QString>
#include <cstddef>
#include <cstdint>

namespace hostabi {

struct HostStringHeader {
    std::int32_t refCount;
    std::int32_t length;
};

inline constexpr std::int32_t kConstantRefCount = -1;

// A constant string of N - 1 characters, laid out like an allocated one.
template <std::size_t N> struct ConstHostString {
    HostStringHeader header;
    char chars[N];

    char* str() const noexcept { return const_cast<char*>(chars); }
};
static_assert(offsetof(ConstHostString<1>, chars) == sizeof(HostStringHeader));

// A constant string from a literal of code page 1250 bytes (letters outside ASCII written as
// escapes): `constexpr auto kName = hostabi::constHostString("Reteta");`
template <std::size_t N> consteval ConstHostString<N> constHostString(const char (&text)[N]) {
    ConstHostString<N> s{{kConstantRefCount, static_cast<std::int32_t>(N - 1)}, {}};
    for (std::size_t i = 0; i < N; ++i)
        s.chars[i] = text[i];
    return s;
}

// A new string with a copy of length bytes and one reference; nullptr when length is 0.
// Throws std::bad_alloc, or std::length_error beyond 2^31 - 1 bytes.
char* strNew(const char* bytes, std::size_t length);
// A new string with text in code page 1250; throws base::ConversionError for a character
// outside it.
char* strFromQString(const QString& text);
QString strToQString(const char* s);

std::int32_t strLength(const char* s) noexcept;
// 0 for the empty string, kConstantRefCount for a constant one.
std::int32_t strRefCount(const char* s) noexcept;

void strAddRef(char* s) noexcept;
// Drops the reference var holds, freeing the string when it was the last; var becomes empty.
void strRelease(char*& var) noexcept;
// Makes var share value, releasing var's previous string; assigning a string to itself is safe.
void strAssign(char*& var, char* value) noexcept;
// Ensures var holds the only reference to its characters, copying a shared or constant string,
// so that they may be changed in place.
void strMakeUnique(char*& var);

// Owns one reference to a host string; copies share the characters.
class HostString {
public:
    HostString() noexcept = default;
    explicit HostString(const QString& text) : m_chars(strFromQString(text)) {}
    template <std::size_t N>
    HostString(const ConstHostString<N>& constant) noexcept : m_chars(constant.str()) {}
    HostString(const HostString& other) noexcept : m_chars(other.m_chars) { strAddRef(m_chars); }
    HostString(HostString&& other) noexcept : m_chars(other.take()) {}
    HostString& operator=(const HostString& other) noexcept;
    HostString& operator=(HostString&& other) noexcept;
    ~HostString() { strRelease(m_chars); }

    // Takes over a reference that the caller holds.
    static HostString adopt(char* s) noexcept;
    // Adds a reference of its own to s.
    static HostString share(char* s) noexcept;
    static HostString fromBytes(const char* bytes, std::size_t length);

    char* get() const noexcept { return m_chars; }
    // Hands the reference to the caller and becomes empty.
    char* take() noexcept;
    const char* c_str() const noexcept { return m_chars ? m_chars : ""; }
    std::int32_t size() const noexcept { return strLength(m_chars); }
    bool empty() const noexcept { return size() == 0; }
    std::int32_t refCount() const noexcept { return strRefCount(m_chars); }
    QString toQString() const { return strToQString(m_chars); }
    // The characters, made unique first so that they may be written.
    char* mutableData();

private:
    char* m_chars = nullptr;
};

} // namespace hostabi
