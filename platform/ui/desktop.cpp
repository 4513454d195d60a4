#include "platform/ui/desktop.h"

#include "platform/ui/application.h"

#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace ui {
namespace {

QMessageBox::Icon iconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The window a box belongs to: the modal window in front, else the active one, else the
// application's main window.
QWidget* boxParent() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return application()->mainWindow();
}

} // namespace

ModalResult escapeResult(MessageButtons buttons) {
    if (buttons.testFlag(MessageButton::Cancel))
        return mrCancel;
    if (buttons.testFlag(MessageButton::No))
        return mrNo;
    return mrOk;
}

ModalResult QtDesktop::messageBox(MessageKind kind, const QString& caption, const QString& text,
                                  MessageButtons buttons, MessageButtons defaultButton) {
    if (!buttons)
        buttons = MessageButton::Ok;
    QMessageBox box(iconOf(kind), caption, text, QMessageBox::NoButton, boxParent());
    struct Choice {
        MessageButton button;
        QMessageBox::StandardButton standard;
        ModalResult result;
    };
    static constexpr Choice kChoices[] = {
        {MessageButton::Yes, QMessageBox::Yes, mrYes},
        {MessageButton::No, QMessageBox::No, mrNo},
        {MessageButton::Ok, QMessageBox::Ok, mrOk},
        {MessageButton::Cancel, QMessageBox::Cancel, mrCancel},
    };
    for (const Choice& choice : kChoices)
        if (buttons.testFlag(choice.button)) {
            box.addButton(choice.standard);
            if (defaultButton == choice.button)
                box.setDefaultButton(choice.standard);
        }
    box.exec();
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    for (const Choice& choice : kChoices)
        if (choice.standard == pressed)
            return choice.result;
    return escapeResult(buttons);
}

bool QtDesktop::printDialog(QPrinter& printer) {
    QPrintDialog dialog(&printer, boxParent());
    return dialog.exec() == QDialog::Accepted;
}

QString QtDesktop::saveFileName(const QString& caption, const QString& proposed,
                                const QString& filter) {
    return QFileDialog::getSaveFileName(boxParent(), caption, proposed, filter);
}

void QtDesktop::beep() {
    QApplication::beep();
}

void QtDesktop::setCursor(Cursor cursor) {
    // The cursor is a state, not a stack: setting it twice and resetting it once shows the
    // default again.
    if (cursor == Cursor::Default) {
        if (m_overridden)
            QApplication::restoreOverrideCursor();
        m_overridden = false;
    } else if (m_overridden) {
        QApplication::changeOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_overridden = true;
    }
}

} // namespace ui
