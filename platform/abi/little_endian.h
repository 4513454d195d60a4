#pragma once
// An integer stored little-endian at any alignment: a field of the binary layouts shared with
// the host, which are little-endian and unpadded whatever the machine. Being made of bytes, it
// has alignment 1, so a struct of such fields has exactly the offsets it declares.
#include <cstddef>
#include <type_traits>

namespace hostabi {

template <typename T> struct LittleEndian {
    static_assert(std::is_integral_v<T>);
    using Unsigned = std::make_unsigned_t<T>;

    unsigned char bytes[sizeof(T)];

    T get() const noexcept {
        Unsigned v = 0;
        for (std::size_t i = sizeof(T); i-- > 0;)
            v = static_cast<Unsigned>((v << 8) | bytes[i]);
        return static_cast<T>(v);
    }
    void set(T value) noexcept {
        auto v = static_cast<Unsigned>(value);
        for (std::size_t i = 0; i < sizeof(T); ++i, v = static_cast<Unsigned>(v >> 8))
            bytes[i] = static_cast<unsigned char>(v);
    }
    operator T() const noexcept { return get(); }
    LittleEndian& operator=(T value) noexcept {
        set(value);
        return *this;
    }
};

} // namespace hostabi
