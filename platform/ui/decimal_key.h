#pragma once
// The decimal point typed into a number. A person types "0.75" on the main keyboard or with the
// keypad's decimal key whatever the regional separator is; where the separator in force is ","
// a "." would be refused or dropped and the number read a hundred times larger. So in a float
// field both keys type the separator in force, and a second separator in one number is refused.
#include <QString>

class QKeyEvent;

namespace ui {

// The character to type into the text of a float field for `typed`, the character of a key
// (keypad: it came from the numeric keypad). `kept` is the text that stays beside what is typed
// (the field's text without its selection). Answers `typed` for every other character, the
// separator in force for either decimal key, and 0 for a separator that `kept` already holds.
char16_t decimalKeyChar(char16_t typed, bool keypad, const QString& kept);

// Whether the key event came from the numeric keypad.
bool isKeypadKey(const QKeyEvent& event);

} // namespace ui
