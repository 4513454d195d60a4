#include "platform/ui/keys.h"

#include "platform/ui/dispatch.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace ui {
namespace {

struct KeyPair {
    int qtKey;
    int virtualKey;
};

// Keys whose code does not follow from Qt's by arithmetic. The first entry for a virtual key is
// the one sendKey uses.
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, vk::Back},
    {Qt::Key_Tab, vk::Tab},
    {Qt::Key_Backtab, vk::Tab},
    {Qt::Key_Clear, 12},
    {Qt::Key_Return, vk::Return},
    {Qt::Key_Enter, vk::Return},
    {Qt::Key_Shift, vk::Shift},
    {Qt::Key_Control, vk::Control},
    {Qt::Key_Alt, vk::Menu},
    {Qt::Key_Pause, vk::Pause},
    {Qt::Key_CapsLock, vk::Capital},
    {Qt::Key_Escape, vk::Escape},
    {Qt::Key_Space, vk::Space},
    {Qt::Key_PageUp, vk::Prior},
    {Qt::Key_PageDown, vk::Next},
    {Qt::Key_End, vk::End},
    {Qt::Key_Home, vk::Home},
    {Qt::Key_Left, vk::Left},
    {Qt::Key_Up, vk::Up},
    {Qt::Key_Right, vk::Right},
    {Qt::Key_Down, vk::Down},
    {Qt::Key_Print, vk::Print},
    {Qt::Key_Insert, vk::Insert},
    {Qt::Key_Delete, vk::Delete},
    {Qt::Key_Help, 47},
    {Qt::Key_Meta, 91},
    {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, vk::NumLock},
    {Qt::Key_ScrollLock, vk::Scroll},
    // Symbols of the main keyboard, shifted or not, by their key on a US layout.
    {Qt::Key_Semicolon, 186},
    {Qt::Key_Colon, 186},
    {Qt::Key_Equal, 187},
    {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188},
    {Qt::Key_Less, 188},
    {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189},
    {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191},
    {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192},
    {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220},
    {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221},
    {Qt::Key_BraceRight, 221},
    {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
};

// The keypad's keys, recognised by Qt's keypad modifier.
constexpr KeyPair kKeypad[] = {
    {Qt::Key_Asterisk, vk::Multiply}, {Qt::Key_Plus, vk::Add},      {Qt::Key_Minus, vk::Subtract},
    {Qt::Key_Period, vk::Decimal},    {Qt::Key_Comma, vk::Decimal}, {Qt::Key_Slash, vk::Divide},
};

int g_forwarding = 0;

} // namespace

ShiftState shiftState(Qt::KeyboardModifiers modifiers) {
    ShiftState state;
    state.setFlag(ShiftKey::Shift, modifiers.testFlag(Qt::ShiftModifier));
    state.setFlag(ShiftKey::Alt, modifiers.testFlag(Qt::AltModifier));
    state.setFlag(ShiftKey::Ctrl, modifiers.testFlag(Qt::ControlModifier));
    return state;
}

int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return vk::Numpad0 + (qtKey - Qt::Key_0);
        for (const KeyPair& pair : kKeypad)
            if (pair.qtKey == qtKey)
                return pair.virtualKey;
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey; // Qt's codes are the ASCII capitals and digits, as the system's are
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return vk::F1 + (qtKey - Qt::Key_F1);
    for (const KeyPair& pair : kKeys)
        if (pair.qtKey == qtKey)
            return pair.virtualKey;
    return 0;
}

int virtualKey(const QKeyEvent& event) {
    return virtualKey(event.key(), event.modifiers());
}

char16_t keyChar(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers.testFlag(Qt::AltModifier))
        return 0; // Alt combinations are menu accelerators, not typing
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ctrl ? 10 : 13;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return ctrl ? 0 : 9;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Backspace:
        return ctrl ? 127 : 8;
    default:
        break;
    }
    if (ctrl) {
        const int key = event.key();
        return key >= Qt::Key_A && key <= Qt::Key_Z ? char16_t(key - Qt::Key_A + 1) : 0;
    }
    const QString text = event.text();
    if (text.size() != 1 || text.at(0).unicode() < 32 || text.at(0).unicode() == 127)
        return 0;
    return text.at(0).unicode();
}

bool runKeyHandlers(const QKeyEvent& event, const KeyDownHandler& keyDown,
                    const KeyPressHandler& keyPress) {
    bool swallow = false;
    int key = virtualKey(event);
    if (keyDown && key != 0) {
        // An error in key-down ends the key there, as it would end the system's key message.
        if (!guarded([&] { keyDown(key, shiftState(event.modifiers())); }))
            return true;
        swallow = key == 0;
    }
    char16_t ch = keyChar(event);
    if (keyPress && ch != 0) {
        if (!guarded([&] { keyPress(ch); }))
            return true;
        swallow = swallow || ch == 0;
    }
    return swallow;
}

void sendKey(QWidget* control, int key, ShiftState shift) {
    int qtKey = 0;
    Qt::KeyboardModifiers modifiers;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        qtKey = key;
    } else if (key >= vk::Numpad0 && key <= vk::Numpad0 + 9) {
        qtKey = Qt::Key_0 + (key - vk::Numpad0);
        modifiers |= Qt::KeypadModifier;
    } else if (key >= vk::F1 && key <= vk::F24) {
        qtKey = Qt::Key_F1 + (key - vk::F1);
    } else {
        for (const KeyPair& pair : kKeys)
            if (pair.virtualKey == key) {
                qtKey = pair.qtKey;
                break;
            }
    }
    if (qtKey == 0 || !control)
        return;
    if (shift.testFlag(ShiftKey::Shift))
        modifiers |= Qt::ShiftModifier;
    if (shift.testFlag(ShiftKey::Alt))
        modifiers |= Qt::AltModifier;
    if (shift.testFlag(ShiftKey::Ctrl))
        modifiers |= Qt::ControlModifier;
    if (qtKey == Qt::Key_Tab && shift.testFlag(ShiftKey::Shift))
        qtKey = Qt::Key_Backtab;

    QString text;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        text = QChar(shift.testFlag(ShiftKey::Shift) ? qtKey : qtKey + 32);
    else if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || qtKey == Qt::Key_Space)
        text = QChar(qtKey);
    else if (qtKey == Qt::Key_Return)
        text = QStringLiteral("\r");
    else if (qtKey == Qt::Key_Tab)
        text = QStringLiteral("\t");
    else if (qtKey == Qt::Key_Escape)
        text = QChar(27);
    else if (qtKey == Qt::Key_Backspace)
        text = QChar(8);

    struct Forwarding {
        Forwarding() { ++g_forwarding; }
        ~Forwarding() { --g_forwarding; }
    } forwarding;
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, text);
    QCoreApplication::sendEvent(control, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers, text);
    QCoreApplication::sendEvent(control, &release);
}

bool forwardingKey() {
    return g_forwarding > 0;
}

} // namespace ui
