#pragma once
// An edit with an edit mask in the system's notation, such as "!00/00/0000" for a date: the mask
// characters 0 (digit required), 9 (digit optional), # (digit or sign), L/l (letter), A/a
// (letter or digit), C/c (any character), > and < (upper and lower case), <> (case as typed),
// \ (next character literal), / and : (the regional date and time separators), ! (how blanks are
// trimmed; no effect here); after ";" the save-literals flag and the blank character ("_" by
// default). The mask is enforced by Qt's input mask.
//
// Leaving a changed edit whose required places are not all filled is refused with "Invalid input
// value.  Use escape key to abandon changes" and the focus goes back to it; Escape in a changed
// edit brings back the text it had when it was entered.
#include "platform/ui/edit.h"

namespace ui {

// The Qt input mask for a mask in the system's notation.
QString qtInputMask(const QString& editMask, QChar dateSeparator, QChar timeSeparator);

class MaskEdit : public Edit {
public:
    explicit MaskEdit(QWidget* parent = nullptr) : Edit(parent) {}

    QString editMask() const { return m_editMask; }
    // Uses the regional date separator of base::formatSettings() for "/".
    void setEditMask(const QString& editMask);
    bool isMasked() const { return !m_editMask.isEmpty(); }
    // The text as shown: literals and the blank character in the empty places.
    QString maskedText() const { return displayText(); }

    // Throws base::Error when the text was changed and a required place is blank.
    virtual void validateEdit();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void handleKey(QKeyEvent* event) override;

private:
    QString m_editMask;
    QString m_textOnEntry;
};

} // namespace ui
