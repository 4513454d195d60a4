#include "platform/ui/dispatch.h"

#include "platform/base/errors.h"
#include "platform/ui/application.h"

namespace ui {

void handleCurrentException() noexcept {
    // The error box is itself a handler's caller: an error while showing it must not escape
    // either, and there is nowhere left to report it.
    try {
        throw;
    } catch (const base::Abort&) {
    } catch (const std::exception& error) {
        try {
            application()->showException(error);
        } catch (...) {
        }
    } catch (...) {
        try {
            application()->showException(base::Error(QStringLiteral("Unknown error")));
        } catch (...) {
        }
    }
}

void handleException(std::exception_ptr error) noexcept {
    if (!error)
        return;
    try {
        std::rethrow_exception(error);
    } catch (...) {
        handleCurrentException();
    }
}

} // namespace ui
