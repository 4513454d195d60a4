#pragma once
// Keys in the system's own terms. Key-down handlers see virtual-key codes with a shift state;
// key-press handlers see characters (Enter 13, Ctrl+Enter 10, Tab 9, Escape 27, Backspace 8,
// Ctrl+letter 1 to 26). Qt's key events are mapped to them here, once, so that every handler of
// the system reads keys the same way. A handler swallows a key by setting it to 0; it cannot turn
// it into another key (a window hands a different key to a control with sendKey).
#include <QFlags>
#include <qnamespace.h>

#include <functional>

class QKeyEvent;
class QWidget;

namespace ui {

namespace vk {
constexpr int Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18, Pause = 19,
              Capital = 20, Escape = 27, Space = 32, Prior = 33, Next = 34, End = 35, Home = 36,
              Left = 37, Up = 38, Right = 39, Down = 40, Print = 44, Insert = 45, Delete = 46,
              Numpad0 = 96, Multiply = 106, Add = 107, Subtract = 109, Decimal = 110, Divide = 111,
              F1 = 112, F2 = 113, F12 = 123, F24 = 135, NumLock = 144, Scroll = 145;
// Letters are 'A' to 'Z' (65 to 90), the main keyboard's digits '0' to '9' (48 to 57).
} // namespace vk

enum class ShiftKey { Shift = 0x1, Alt = 0x2, Ctrl = 0x4 };
Q_DECLARE_FLAGS(ShiftState, ShiftKey)
Q_DECLARE_OPERATORS_FOR_FLAGS(ShiftState)

using KeyDownHandler = std::function<void(int& key, ShiftState shift)>;
using KeyPressHandler = std::function<void(char16_t& key)>;

ShiftState shiftState(Qt::KeyboardModifiers modifiers);
// The virtual-key code of a Qt key (0 for a key the system has no code for). Shifted symbols of
// the main keyboard give the code of their key on a US layout (! gives '1').
int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers);
int virtualKey(const QKeyEvent& event);
// The character a key-press handler sees for a key event, or 0 when the key types none.
char16_t keyChar(const QKeyEvent& event);

// Runs the handlers for a key event inside the dispatch guard: key-down with the virtual key,
// then key-press with the character (also when key-down swallowed the key, as the system's
// message order has it). Returns true when the event is to be swallowed: a handler set its key
// to 0, or raised an error.
bool runKeyHandlers(const QKeyEvent& event, const KeyDownHandler& keyDown,
                    const KeyPressHandler& keyPress);

// Hands a key to a control as if it had been pressed there, so that the control's own key-down
// handling acts on it. Forms' key preview does not see a forwarded key.
void sendKey(QWidget* control, int key, ShiftState shift = {});
// True while sendKey is delivering a key.
bool forwardingKey();

} // namespace ui
