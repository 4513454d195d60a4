#pragma once
// The result with which a modal form or a message box closes. The values are the system's own
// numbers, so that a result kept as a number (a button's modal result) keeps its meaning.

namespace ui {

enum ModalResult : int {
    mrNone = 0, // still open
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

} // namespace ui
