#pragma once
// The seam through which the toolkit reaches the person at the screen: modal message boxes, the
// system beep, the mouse cursor, and the print and save-file dialogs. Nothing else in the toolkit
// or above it shows a message box, beeps or changes the cursor, so a test that replaces the desktop
// of the current Application sees, and answers, everything that would have been shown.
#include "platform/ui/modal_result.h"

#include <QFlags>
#include <QString>

class QPrinter;

namespace ui {

enum class MessageKind { Warning, Error, Information, Confirmation };

enum class MessageButton { Ok = 0x1, Yes = 0x2, No = 0x4, Cancel = 0x8 };
Q_DECLARE_FLAGS(MessageButtons, MessageButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(MessageButtons)

enum class Cursor { Default, HourGlass };

class Desktop {
public:
    virtual ~Desktop() = default;

    // Shows a modal message box with the given buttons (OK alone when none is given) and returns
    // the result of the button pressed: mrOk, mrYes, mrNo or mrCancel. A box closed without a
    // button gives the result of its escape button (Cancel, else No, else OK). Enter presses
    // defaultButton when it is one of the buttons, else the first of Yes, OK.
    virtual ModalResult messageBox(MessageKind kind, const QString& caption, const QString& text,
                                   MessageButtons buttons, MessageButtons defaultButton) = 0;
    virtual void beep() = 0;
    // Shows the cursor over every window of the application.
    virtual void setCursor(Cursor cursor) = 0;
    // Shows the print dialog for the printer; true when the person confirmed, and then the
    // printer holds the choice (a printer, or a PDF file).
    virtual bool printDialog(QPrinter& printer) = 0;
    // Asks for the name of a file to write, proposing `proposed`; empty when the person gave up.
    virtual QString saveFileName(const QString& caption, const QString& proposed,
                                 const QString& filter) = 0;
};

// The desktop of a real session: QMessageBox, QApplication::beep and Qt's override cursor.
class QtDesktop : public Desktop {
public:
    ModalResult messageBox(MessageKind kind, const QString& caption, const QString& text,
                           MessageButtons buttons, MessageButtons defaultButton) override;
    void beep() override;
    void setCursor(Cursor cursor) override;
    bool printDialog(QPrinter& printer) override;
    QString saveFileName(const QString& caption, const QString& proposed,
                         const QString& filter) override;

private:
    bool m_overridden = false; // an override cursor of ours is installed
};

// The result that a box with these buttons gives when it is closed without a button.
ModalResult escapeResult(MessageButtons buttons);

} // namespace ui
