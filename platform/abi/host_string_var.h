#pragma once
// A host string variable passed by reference, as the host hands it to an entry point: the
// address of a char* slot that holds one reference to its string (or null when empty).
// Storing into it releases the variable's previous string. A copy of this value refers to the
// same variable.
#include "platform/abi/host_string.h"

namespace hostabi {

class HostStringVar {
public:
    explicit HostStringVar(char** slot) noexcept : m_slot(slot) {}

    // Makes the variable share value. Throws std::invalid_argument when there is no variable.
    void store(const HostString& value);
    // Stores a new string with text; throws base::ConversionError outside code page 1250.
    void store(const QString& text) { store(HostString(text)); }
    void clear() { store(HostString()); }

    // The variable's string (empty when there is no variable), with a reference of its own.
    HostString load() const noexcept { return HostString::share(m_slot ? *m_slot : nullptr); }
    QString toQString() const { return strToQString(m_slot ? *m_slot : nullptr); }
    char** slot() const noexcept { return m_slot; }

private:
    char** m_slot;
};

} // namespace hostabi
