#include "platform/base/errors.h"

namespace base {

Error::Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toStdString()) {}

void abortSilently() {
    throw Abort();
}

} // namespace base
