#include "platform/abi/host_string_var.h"

#include <stdexcept>

namespace hostabi {

void HostStringVar::store(const HostString& value) {
    // A host that passes no variable gets an error rather than a write through null.
    if (!m_slot)
        throw std::invalid_argument("no host string variable to store into");
    strAssign(*m_slot, value.get());
}

} // namespace hostabi
