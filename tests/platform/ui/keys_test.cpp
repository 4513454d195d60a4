// Qt key events in the system's terms: virtual keys, shift states, characters, swallowing and
// forwarding.
#include "recording_desktop.h"

#include "platform/ui/edit.h"
#include "platform/ui/form.h"
#include "platform/ui/keys.h"

#include <QKeyEvent>
#include <QTest>

using namespace ui;

namespace {

struct KeyCase {
    const char* name;
    int qtKey;
    Qt::KeyboardModifiers modifiers;
    const char* text; // as the platform delivers it
    int virtualKey;
    char16_t character;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class KeyMapping : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyMapping, GivesTheSystemsCodeAndCharacter) {
    const KeyCase& c = GetParam();
    const QKeyEvent event(QEvent::KeyPress, c.qtKey, c.modifiers, QString::fromUtf8(c.text));
    EXPECT_EQ(virtualKey(event), c.virtualKey);
    EXPECT_EQ(keyChar(event), c.character);
}

constexpr auto kNone = Qt::NoModifier;
constexpr auto kCtrl = Qt::ControlModifier;
constexpr auto kPad = Qt::KeypadModifier;

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyMapping,
    ::testing::Values(KeyCase{"Enter", Qt::Key_Return, kNone, "\r", 13, 13},
                      KeyCase{"CtrlEnter", Qt::Key_Return, kCtrl, "\r", 13, 10},
                      KeyCase{"KeypadEnter", Qt::Key_Enter, kPad, "\r", 13, 13},
                      KeyCase{"Tab", Qt::Key_Tab, kNone, "\t", 9, 9},
                      KeyCase{"ShiftTab", Qt::Key_Backtab, Qt::ShiftModifier, "", 9, 9},
                      KeyCase{"Escape", Qt::Key_Escape, kNone, "\x1b", 27, 27},
                      KeyCase{"Backspace", Qt::Key_Backspace, kNone, "\b", 8, 8},
                      KeyCase{"PageUp", Qt::Key_PageUp, kNone, "", 33, 0},
                      KeyCase{"PageDown", Qt::Key_PageDown, kNone, "", 34, 0},
                      KeyCase{"End", Qt::Key_End, kNone, "", 35, 0},
                      KeyCase{"Home", Qt::Key_Home, kNone, "", 36, 0},
                      KeyCase{"Left", Qt::Key_Left, kNone, "", 37, 0},
                      KeyCase{"Up", Qt::Key_Up, kNone, "", 38, 0},
                      KeyCase{"Right", Qt::Key_Right, kNone, "", 39, 0},
                      KeyCase{"Down", Qt::Key_Down, kNone, "", 40, 0},
                      KeyCase{"KeypadDown", Qt::Key_Down, kPad, "", 40, 0},
                      KeyCase{"Insert", Qt::Key_Insert, kNone, "", 45, 0},
                      KeyCase{"Delete", Qt::Key_Delete, kNone, "", 46, 0},
                      KeyCase{"F2", Qt::Key_F2, kNone, "", 113, 0},
                      KeyCase{"Space", Qt::Key_Space, kNone, " ", 32, 32},
                      KeyCase{"LetterA", Qt::Key_A, kNone, "a", 65, u'a'},
                      KeyCase{"ShiftZ", Qt::Key_Z, Qt::ShiftModifier, "Z", 90, u'Z'},
                      KeyCase{"CtrlC", Qt::Key_C, kCtrl, "\x03", 67, 3},
                      KeyCase{"AltD", Qt::Key_D, Qt::AltModifier, "d", 68, 0},
                      KeyCase{"Digit0", Qt::Key_0, kNone, "0", 48, u'0'},
                      KeyCase{"Digit9", Qt::Key_9, kNone, "9", 57, u'9'},
                      KeyCase{"Keypad7", Qt::Key_7, kPad, "7", 103, u'7'},
                      KeyCase{"ShiftedDigit", Qt::Key_Exclam, Qt::ShiftModifier, "!", 49, u'!'},
                      KeyCase{"RomanianLetter", Qt::Key_A, kNone, "ă", 65, u'ă'},
                      KeyCase{"Unmapped", Qt::Key_VolumeUp, kNone, "", 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShiftStateTest, CarriesShiftAltAndCtrl) {
    EXPECT_EQ(shiftState(Qt::NoModifier), ShiftState());
    EXPECT_EQ(shiftState(Qt::ShiftModifier | Qt::ControlModifier | Qt::KeypadModifier),
              ShiftKey::Shift | ShiftKey::Ctrl);
    EXPECT_EQ(shiftState(Qt::AltModifier), ShiftState(ShiftKey::Alt));
}

class KeyHandlerTest : public testsupport::UiTest {};

TEST_F(KeyHandlerTest, ControlHandlersSeeRealKeysAndCanSwallowThem) {
    Edit edit;
    std::vector<std::pair<int, ShiftState>> downs;
    std::vector<char16_t> presses;
    edit.onKeyDown = [&](int& key, ShiftState shift) {
        downs.emplace_back(key, shift);
        if (key == vk::Insert)
            key = 0;
    };
    edit.onKeyPress = [&](char16_t& key) {
        presses.push_back(key);
        if (key == u'q')
            key = 0; // swallowed: never typed
    };
    QTest::keyClicks(&edit, QStringLiteral("aq"));
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("a"));
    EXPECT_EQ(presses, (std::vector<char16_t>{u'a', u'q', 10}));
    // The modifier keys arrive as keys of their own, as they do on the system.
    const std::vector<std::pair<int, ShiftState>> expected{{'A', {}},
                                                           {'Q', {}},
                                                           {vk::Control, ShiftKey::Ctrl},
                                                           {vk::Return, ShiftKey::Ctrl},
                                                           {vk::Shift, ShiftKey::Shift},
                                                           {vk::Insert, ShiftKey::Shift}};
    EXPECT_EQ(downs, expected);
}

TEST_F(KeyHandlerTest, WindowForwardsAKeyToAControlPastItsOwnPreview) {
    Form form;
    form.setKeyPreview(true);
    auto* grid = new Edit(&form);
    int previewed = 0;
    form.onKeyDown = [&](int&, ShiftState) { ++previewed; };
    std::vector<std::pair<int, ShiftState>> received;
    grid->onKeyDown = [&](int& key, ShiftState shift) { received.emplace_back(key, shift); };
    grid->onKeyPress = [&](char16_t& key) {
        if (key == u' ') {
            key = 0;
            sendKey(grid, vk::Down, ShiftKey::Shift);
        }
    };
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(previewed, 1); // the space, not the forwarded Down
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1], std::make_pair(40, ShiftState(ShiftKey::Shift)));
}

} // namespace
