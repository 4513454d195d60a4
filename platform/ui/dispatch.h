#pragma once
// The one way from Qt's event loop into a handler. Every button click, menu command, key handler,
// form event and timer runs inside guarded(), so no exception ever crosses the loop: a silent
// abort (base::Abort) ends the handler without a word, any other error is shown by the current
// application's general error box, and the loop goes on.
#include <exception>
#include <utility>

namespace ui {

// Deals with the exception being handled; call only inside a catch block.
void handleCurrentException() noexcept;
// Deals with an exception kept for later (one that arose where no box may open); null does nothing.
void handleException(std::exception_ptr error) noexcept;

// Runs handler; returns false when it ended by an exception (already dealt with).
template <class Handler> bool guarded(Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (...) {
        handleCurrentException();
        return false;
    }
}

} // namespace ui
