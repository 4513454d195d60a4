#include "platform/abi/host_string.h"

#include "platform/abi/memory_manager.h"
#include "platform/base/cp1250.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace hostabi {
namespace {

HostStringHeader* headerOf(const char* s) {
    return reinterpret_cast<HostStringHeader*>(const_cast<char*>(s) - sizeof(HostStringHeader));
}

// Loads only: a constant string's count lies in read-only memory.
std::int32_t loadCount(const char* s) {
    return std::atomic_ref<std::int32_t>(headerOf(s)->refCount).load(std::memory_order_acquire);
}

} // namespace

char* strNew(const char* bytes, std::size_t length) {
    if (length == 0)
        return nullptr;
    if (length > std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw std::length_error("host string longer than 2^31 - 1 bytes");
    // Zero-filled, so the terminating zero is already there.
    auto* header =
        static_cast<HostStringHeader*>(mem::allocate(sizeof(HostStringHeader) + length + 1));
    header->refCount = 1;
    header->length = static_cast<std::int32_t>(length);
    char* chars = reinterpret_cast<char*>(header + 1);
    std::memcpy(chars, bytes, length);
    return chars;
}

char* strFromQString(const QString& text) {
    const QByteArray bytes = base::cp1250::encode(text);
    return strNew(bytes.constData(), std::size_t(bytes.size()));
}

QString strToQString(const char* s) {
    return base::cp1250::decode(s, strLength(s));
}

std::int32_t strLength(const char* s) noexcept {
    return s ? headerOf(s)->length : 0;
}

std::int32_t strRefCount(const char* s) noexcept {
    return s ? loadCount(s) : 0;
}

void strAddRef(char* s) noexcept {
    if (s && loadCount(s) >= 0)
        std::atomic_ref<std::int32_t>(headerOf(s)->refCount)
            .fetch_add(1, std::memory_order_relaxed);
}

void strRelease(char*& var) noexcept {
    char* s = std::exchange(var, nullptr);
    if (!s || loadCount(s) < 0)
        return;
    if (std::atomic_ref<std::int32_t>(headerOf(s)->refCount)
            .fetch_sub(1, std::memory_order_acq_rel) == 1)
        mem::release(headerOf(s));
}

void strAssign(char*& var, char* value) noexcept {
    strAddRef(value); // before the release, in case value is var's own string
    strRelease(var);
    var = value;
}

void strMakeUnique(char*& var) {
    if (!var || loadCount(var) == 1)
        return;
    char* copy = strNew(var, std::size_t(strLength(var)));
    strRelease(var);
    var = copy;
}

HostString& HostString::operator=(const HostString& other) noexcept {
    strAssign(m_chars, other.m_chars);
    return *this;
}

HostString& HostString::operator=(HostString&& other) noexcept {
    if (this != &other) {
        strRelease(m_chars);
        m_chars = other.take();
    }
    return *this;
}

HostString HostString::adopt(char* s) noexcept {
    HostString h;
    h.m_chars = s;
    return h;
}

HostString HostString::share(char* s) noexcept {
    strAddRef(s);
    return adopt(s);
}

HostString HostString::fromBytes(const char* bytes, std::size_t length) {
    return adopt(strNew(bytes, length));
}

char* HostString::take() noexcept {
    return std::exchange(m_chars, nullptr);
}

char* HostString::mutableData() {
    strMakeUnique(m_chars);
    return m_chars;
}

} // namespace hostabi
