// The normal data grid under the keyboard: the data-entry movement of Enter, Left and Right, the
// cell editor's keys, and the base grid's keys that the windows rely on.
#include "grid_fixture.h"

#include "platform/base/errors.h"
#include "platform/ui/button.h"
#include "tests/platform/base/scoped_format.h"
#include "tests/support/readable_name.h"

#include <QListWidget>
#include <QToolButton>

using namespace controlstest;

namespace {

using KeyGridTest = GridTest;

TEST_F(KeyGridTest, EnterMovesAcrossTheRowAndOnToTheFirstCellOfTheNextRecord) {
    show();
    ASSERT_TRUE(editor() && editor()->hasFocus());
    EXPECT_EQ(grid->selectedIndex(), 0);
    press(Qt::Key_Return);
    EXPECT_EQ(grid->selectedIndex(), 1);
    EXPECT_EQ(editor()->text(), QStringLiteral("Denumire 1"));
    press(Qt::Key_Return);
    EXPECT_EQ(grid->selectedIndex(), 2);
    EXPECT_EQ(cod(), QStringLiteral("A01"));
    press(Qt::Key_Return);
    EXPECT_EQ(grid->selectedIndex(), 0);
    EXPECT_EQ(cod(), QStringLiteral("A02"));
    EXPECT_EQ(grid->row(), 1);
}

TEST_F(KeyGridTest, EnterAtTheLastCellOfTheLastRecordAppendsAndStartsAtTheFirstColumn) {
    show();
    press(Qt::Key_End, Qt::ControlModifier);
    press(Qt::Key_End);
    ASSERT_EQ(cod(), QStringLiteral("A05"));
    ASSERT_EQ(grid->selectedIndex(), 2);
    press(Qt::Key_Return);
    EXPECT_EQ(table.state(), db::DataSetState::Insert);
    EXPECT_EQ(grid->selectedIndex(), 0);
    EXPECT_EQ(grid->rowCount(), 6);
    EXPECT_EQ(grid->row(), 5) << "the new row follows the last record";
    EXPECT_TRUE(editor()->hasFocus());
    EXPECT_TRUE(editor()->text().isEmpty());

    // Typed through the editor and moved on: the new record is stored.
    type(QStringLiteral("A06"));
    press(Qt::Key_Return);
    type(QStringLiteral("Nou"));
    press(Qt::Key_Return);
    type(QStringLiteral("7"));
    press(Qt::Key_Return);
    EXPECT_EQ(storedCodes().size(), 6) << "A06 posted";
    EXPECT_EQ(table.state(), db::DataSetState::Insert);
    EXPECT_EQ(grid->selectedIndex(), 0);
}

TEST_F(KeyGridTest, EnterInTheMiddleOfTheTextCommitsTheCellAndMovesRight) {
    show();
    press(Qt::Key_Return);
    ASSERT_EQ(grid->selectedIndex(), 1);
    editor()->setCursorPosition(3);
    type(QStringLiteral("x"));
    ASSERT_EQ(editor()->text(), QStringLiteral("Denxumire 1"));
    press(Qt::Key_Return);
    EXPECT_EQ(grid->selectedIndex(), 2);
    EXPECT_EQ(field("Denumire"), QStringLiteral("Denxumire 1")) << "written into the field";
    EXPECT_EQ(table.state(), db::DataSetState::Edit) << "not posted by a move along the row";
    press(Qt::Key_Down);
    EXPECT_EQ(table.state(), db::DataSetState::Browse);
    table.first();
    EXPECT_EQ(field("Denumire"), QStringLiteral("Denxumire 1"));
}

TEST_F(KeyGridTest, LeftWrapsToThePreviousRecordExceptFromTheTopRowShown) {
    show();
    editor()->setCursorPosition(0);
    press(Qt::Key_Left);
    EXPECT_EQ(cod(), QStringLiteral("A01"));
    EXPECT_EQ(grid->selectedIndex(), 0) << "the top row does not wrap";

    press(Qt::Key_Down);
    press(Qt::Key_Down);
    ASSERT_EQ(grid->row(), 2);
    // New contents are shown selected, so Left leaves the cell at once.
    press(Qt::Key_Left);
    EXPECT_EQ(cod(), QStringLiteral("A02"));
    EXPECT_EQ(grid->selectedIndex(), 2);

    // Inside a cell's text Left moves the caret only.
    editor()->setCursorPosition(1);
    press(Qt::Key_Left);
    EXPECT_EQ(grid->selectedIndex(), 2);
    EXPECT_EQ(editor()->cursorPosition(), 0);
}

TEST_F(KeyGridTest, RightAtTheLastCellGoesToTheNextRecordsFirstCell) {
    show();
    press(Qt::Key_End);
    ASSERT_EQ(grid->selectedIndex(), 2);
    press(Qt::Key_Right);
    EXPECT_EQ(cod(), QStringLiteral("A02"));
    EXPECT_EQ(grid->selectedIndex(), 0);
}

TEST_F(KeyGridTest, LeftAndRightOnlyScrollTheColumnsOfARowSelectGrid) {
    grid->setGeometry(0, 0, 220, 240);
    show(TDBGridOptions(dgTitles | dgIndicator | dgRowSelect | dgColLines | dgRowLines));
    press(Qt::Key_Down);
    ASSERT_EQ(cod(), QStringLiteral("A02"));
    ASSERT_EQ(grid->leftColumn(), 0);
    press(Qt::Key_Right);
    EXPECT_EQ(grid->leftColumn(), 1);
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    EXPECT_LE(grid->leftColumn(), 2);
    const int rightmost = grid->leftColumn();
    press(Qt::Key_Left);
    EXPECT_EQ(grid->leftColumn(), rightmost - 1);
    press(Qt::Key_Left);
    press(Qt::Key_Left);
    EXPECT_EQ(grid->leftColumn(), 0);
    EXPECT_EQ(cod(), QStringLiteral("A02")) << "the record never changes";
    EXPECT_EQ(grid->row(), 1);
    EXPECT_EQ(editor(), nullptr) << "a row-select grid edits nothing";
}

TEST_F(KeyGridTest, ShiftAndCtrlEnterDoNotMoveAndCtrlEnterReachesTheWindowAsLineFeed) {
    show();
    QList<int> keysDown;
    QList<int> chars;
    grid->onKeyDown = [&](int& key, ui::ShiftState) { keysDown << key; };
    grid->onKeyPress = [&](char16_t& key) { chars << int(key); };
    press(Qt::Key_Return, Qt::ShiftModifier);
    press(Qt::Key_Return, Qt::ControlModifier);
    press(Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(grid->selectedIndex(), 0);
    EXPECT_EQ(cod(), QStringLiteral("A01"));
    EXPECT_TRUE(editor()->hasFocus());
    EXPECT_FALSE(keysDown.contains(13)) << "the key-down handler never sees them";
    EXPECT_EQ(chars, QList<int>{10}) << "only Ctrl+Enter's character gets through";

    // A window handler that takes the character keeps the grid where it is.
    press(Qt::Key_Return);
    EXPECT_EQ(grid->selectedIndex(), 1);
    EXPECT_TRUE(chars.size() == 1) << "plain Enter's character is dropped by the editor";
}

TEST_F(KeyGridTest, CtrlDeleteWhileEditingDeletesWithoutAskingWhenNotConfirming) {
    show(kEntryOptions);
    press(Qt::Key_Down);
    type(QStringLiteral("Z"));
    ASSERT_EQ(table.state(), db::DataSetState::Edit);
    press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(storedCodes(), (QStringList{"A01", "A03", "A04", "A05"}));
    EXPECT_EQ(cod(), QStringLiteral("A03"));
    EXPECT_EQ(editor()->text(), QStringLiteral("A03"));
    EXPECT_EQ(table.state(), db::DataSetState::Browse);
}

struct ConfirmCase {
    const char* name;
    int selected; // rows selected before Ctrl+Delete
    ui::ModalResult answer;
    const char* question;
    int left; // records left
};

void PrintTo(const ConfirmCase& c, std::ostream* os) {
    *os << c.name;
}

class ConfirmedDelete : public GridTest, public ::testing::WithParamInterface<ConfirmCase> {};

TEST_P(ConfirmedDelete, AsksTheQuestionForTheSelection) {
    const ConfirmCase& c = GetParam();
    show(TDBGridOptions(dgTitles | dgIndicator | dgRowSelect | dgConfirmDelete | dgMultiSelect));
    for (int i = 0; i < c.selected; ++i)
        press(Qt::Key_Down, Qt::ShiftModifier);
    desktop.answers.push_back(c.answer);
    press(Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].kind, ui::MessageKind::Confirmation);
    EXPECT_EQ(desktop.boxes[0].text, QString::fromUtf8(c.question));
    EXPECT_EQ(desktop.boxes[0].buttons, ui::MessageButton::Ok | ui::MessageButton::Cancel);
    EXPECT_EQ(storedCodes().size(), c.left);
}

INSTANTIATE_TEST_SUITE_P(
    Grid, ConfirmedDelete,
    ::testing::Values(ConfirmCase{"current_cancelled", 0, ui::mrCancel, "Delete record?", 5},
                      ConfirmCase{"current_confirmed", 0, ui::mrOk, "Delete record?", 4},
                      // Shift+Down once selects the anchor and the record reached.
                      ConfirmCase{"two_selected", 1, ui::mrOk, "Delete all selected records?", 3},
                      ConfirmCase{"three_cancelled", 2, ui::mrCancel,
                                  "Delete all selected records?", 5}),
    testsupport::ReadableName());

TEST_F(KeyGridTest, DownAtTheEndAppendsAndAnUntouchedNewRecordIsDroppedByUp) {
    show();
    press(Qt::Key_End, Qt::ControlModifier);
    press(Qt::Key_Down);
    ASSERT_EQ(table.state(), db::DataSetState::Insert);
    EXPECT_EQ(grid->row(), 5);
    press(Qt::Key_Down);
    EXPECT_EQ(table.state(), db::DataSetState::Insert) << "Down does nothing on it at the end";
    EXPECT_EQ(grid->rowCount(), 6);
    press(Qt::Key_Up);
    EXPECT_EQ(table.state(), db::DataSetState::Browse);
    EXPECT_EQ(cod(), QStringLiteral("A05"));
    EXPECT_EQ(grid->rowCount(), 5);
    EXPECT_EQ(storedCodes().size(), 5);
}

TEST_F(KeyGridTest, InsertShowsTheNewRowAtTheCursorAndDownDropsItUntouched) {
    show();
    press(Qt::Key_Down);
    press(Qt::Key_Insert);
    ASSERT_EQ(table.state(), db::DataSetState::Insert);
    EXPECT_EQ(grid->row(), 1);
    EXPECT_EQ(grid->cellText(2, 0), QStringLiteral("A02"))
        << "the former current record moved down";
    press(Qt::Key_Down);
    EXPECT_EQ(table.state(), db::DataSetState::Browse);
    EXPECT_EQ(cod(), QStringLiteral("A02"));
    EXPECT_EQ(grid->cellText(2, 0), QStringLiteral("A03"));
}

TEST_F(KeyGridTest, EscapeUndoesTheCellFirstAndThenTheRecord) {
    show();
    press(Qt::Key_Return);
    type(QStringLiteral("abc"));
    press(Qt::Key_Tab);
    ASSERT_EQ(field("Denumire"), QStringLiteral("abc"));
    type(QStringLiteral("9"));
    ASSERT_EQ(editor()->text(), QStringLiteral("9"));
    press(Qt::Key_Escape);
    EXPECT_EQ(editor()->text(), QStringLiteral("1"));
    EXPECT_EQ(table.state(), db::DataSetState::Edit);
    press(Qt::Key_Escape);
    EXPECT_EQ(table.state(), db::DataSetState::Browse);
    EXPECT_EQ(field("Denumire"), QStringLiteral("Denumire 1"));
    EXPECT_FALSE(form.isHidden()) << "Escape with work to undo is the grid's";
}

TEST_F(KeyGridTest, TabWrapsBetweenRecordsBothWays) {
    show();
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    EXPECT_EQ(cod(), QStringLiteral("A02"));
    EXPECT_EQ(grid->selectedIndex(), 0);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(cod(), QStringLiteral("A01"));
    EXPECT_EQ(grid->selectedIndex(), 2);
}

TEST_F(KeyGridTest, WithoutTabsTabLeavesTheGrid) {
    show(TDBGridOptions(dgEditing | dgAlwaysShowEditor | dgTitles | dgIndicator));
    press(Qt::Key_Tab);
    EXPECT_TRUE(other->hasFocus());
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(editor()->hasFocus());
}

TEST_F(KeyGridTest, ARefusedValueKeepsTheCursorOnItsRecord) {
    show();
    table.fieldByName(QStringLiteral("Denumire"))->onValidate = [](db::Field& f) {
        if (f.asString() == QStringLiteral("rau"))
            throw base::Error(QStringLiteral("Denumire refuzata"));
    };
    press(Qt::Key_Return);
    type(QStringLiteral("rau"));
    press(Qt::Key_Down);
    EXPECT_EQ(cod(), QStringLiteral("A01"));
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("Denumire refuzata"));
    EXPECT_EQ(editor()->text(), QStringLiteral("rau")) << "the typed text stays to be corrected";
    // Leaving the grid writes the text too: refused, the focus comes back.
    other->setFocus(Qt::TabFocusReason);
    settle();
    EXPECT_EQ(desktop.boxes.size(), 2u);
    EXPECT_TRUE(editor()->hasFocus());
    type(QStringLiteral("!"));
    press(Qt::Key_Down);
    EXPECT_EQ(cod(), QStringLiteral("A02"));
    table.first();
    EXPECT_EQ(field("Denumire"), QStringLiteral("rau!"));
}

TEST_F(KeyGridTest, ReadOnlyCellsAndNumbersRefuseWhatTheyCannotTake) {
    show();
    grid->columns().add(QStringLiteral("Dublu"), QStringLiteral("Dublu"), 60);
    press(Qt::Key_End);
    ASSERT_EQ(grid->currentField(), table.fieldByName(QStringLiteral("Dublu")));
    const QString before = editor()->text();
    type(QStringLiteral("5"));
    EXPECT_EQ(editor()->text(), before) << "a calculated column cannot be typed into";
    EXPECT_EQ(table.state(), db::DataSetState::Browse);

    press(Qt::Key_Left, Qt::ControlModifier);
    grid->setCurrentField(table.fieldByName(QStringLiteral("Cant")));
    ASSERT_EQ(grid->selectedIndex(), 2);
    const int beeps = desktop.beeps;
    type(QStringLiteral("x"));
    EXPECT_EQ(desktop.beeps, beeps + 1) << "a letter is no part of a number";
    EXPECT_EQ(editor()->text(), QStringLiteral("1"));
}

// "0.75" typed into a quantity where the separator in force is "," must not become 75: the main
// keyboard's "." and the keypad's decimal key both type the separator; a second one is refused.
struct DecimalKeyCase {
    const char* name;
    char separator;
    const char* keys; // 'K' is the keypad's decimal key, typing the character after it
    const char* shown;
    double stored;
    int beeps;
};

void PrintTo(const DecimalKeyCase& c, std::ostream* os) {
    *os << c.name;
}

class DecimalKeys : public GridTest, public ::testing::WithParamInterface<DecimalKeyCase> {};

TEST_P(DecimalKeys, TypeTheSeparatorInForce) {
    const DecimalKeyCase& c = GetParam();
    testsupport::ScopedFormat format("DD/MM/YYYY", '.', c.separator);
    show();
    grid->setCurrentField(table.fieldByName(QStringLiteral("Cant")));
    editor()->selectAll();
    for (const char* k = c.keys; *k; ++k) {
        if (*k == 'K') {
            ++k;
            QTest::keyClick(QApplication::focusWidget(), *k == '.' ? Qt::Key_Period : Qt::Key_Comma,
                            Qt::KeypadModifier);
        } else {
            QTest::keyClicks(QApplication::focusWidget(), QString(QLatin1Char(*k)));
        }
    }
    settle();
    EXPECT_EQ(editor()->text(), QString::fromLatin1(c.shown));
    EXPECT_EQ(desktop.beeps, c.beeps);
    press(Qt::Key_Down); // leaves the record, which posts it
    table.first();
    EXPECT_DOUBLE_EQ(table.fieldByName(QStringLiteral("Cant"))->asFloat(), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DecimalKeys,
    ::testing::Values(
        DecimalKeyCase{"DotWhereTheSeparatorIsComma", ',', "0.75", "0,75", 0.75, 0},
        DecimalKeyCase{"CommaWhereTheSeparatorIsComma", ',', "0,75", "0,75", 0.75, 0},
        DecimalKeyCase{"KeypadDotWhereTheSeparatorIsComma", ',', "0K.75", "0,75", 0.75, 0},
        DecimalKeyCase{"SecondSeparatorRefused", ',', "1.2.5", "1,25", 1.25, 1},
        DecimalKeyCase{"DotWhereTheSeparatorIsDot", '.', "2.5", "2.5", 2.5, 0},
        DecimalKeyCase{"KeypadCommaWhereTheSeparatorIsDot", '.', "2K,5", "2.5", 2.5, 0},
        DecimalKeyCase{"MainCommaWhereTheSeparatorIsDotIsRefused", '.', "2,5", "25", 25, 1}),
    testsupport::ReadableName());

TEST_F(KeyGridTest, APickListPutsTheChosenValueIntoTheCell) {
    show();
    grid->columns().items(1)->setPickList({QStringLiteral("Unu"), QStringLiteral("Doi")});
    press(Qt::Key_Return);
    ASSERT_EQ(editor()->editStyle(), TDBGridInplaceEdit::EditStyle::PickList);
    press(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(editor()->pickList() && editor()->pickList()->isVisible());
    EXPECT_EQ(cod(), QStringLiteral("A01")) << "Alt+Down opens the list, it does not move";
    QTest::keyClick(editor()->pickList(), Qt::Key_Down);
    QTest::keyClick(editor()->pickList(), Qt::Key_Return);
    settle();
    EXPECT_FALSE(editor()->pickList()->isVisible());
    EXPECT_EQ(editor()->text(), QStringLiteral("Doi"));
    press(Qt::Key_Down);
    table.first();
    EXPECT_EQ(field("Denumire"), QStringLiteral("Doi"));

    grid->columns().items(1)->setButtonStyle(TColumnButtonStyle::cbsNone);
    press(Qt::Key_Up);
    EXPECT_EQ(editor()->editStyle(), TDBGridInplaceEdit::EditStyle::Simple);
    int buttonClicks = 0;
    grid->onEditButtonClick = [&] { ++buttonClicks; };
    grid->columns().items(1)->setButtonStyle(TColumnButtonStyle::cbsEllipsis);
    ASSERT_EQ(editor()->editStyle(), TDBGridInplaceEdit::EditStyle::Ellipsis);
    QTest::mouseClick(editor()->editButton(), Qt::LeftButton);
    EXPECT_EQ(buttonClicks, 1);
}

TEST_F(KeyGridTest, ALookupColumnsListSetsTheKeyOfTheRecord) {
    database->createTable({QStringLiteral("Grupe.DB"),
                           {{QStringLiteral("Cod"), db::FieldType::Text, 10},
                            {QStringLiteral("Nume"), db::FieldType::Text, 20}},
                           {{QString(), {QStringLiteral("Cod")}, true, true}}});
    db::Table groups;
    groups.setSession(&session);
    groups.setDatabaseName(QStringLiteral("TESTDB"));
    groups.setTableName(QStringLiteral("Grupe.DB"));
    groups.open();
    for (const auto& [code, name] : {std::pair{"A01", "Primul"}, std::pair{"Z99", "Ultimul"}}) {
        groups.append();
        groups.fieldByName(QStringLiteral("Cod"))->setAsString(QString::fromUtf8(code));
        groups.fieldByName(QStringLiteral("Nume"))->setAsString(QString::fromUtf8(name));
        groups.post();
    }
    groups.first();
    table.addLookupField(QStringLiteral("NumeGrupa"), 20, &groups, QStringLiteral("Cod"),
                         QStringLiteral("Cod"), QStringLiteral("Nume"));
    show();
    grid->columns().add(QStringLiteral("NumeGrupa"), QStringLiteral("Grupa"), 80);
    grid->setCurrentField(table.fieldByName(QStringLiteral("NumeGrupa")));
    ASSERT_EQ(editor()->text(), QStringLiteral("Primul"));
    press(Qt::Key_Down, Qt::AltModifier);
    ASSERT_EQ(editor()->pickList()->count(), 2);
    QTest::keyClick(editor()->pickList(), Qt::Key_Down);
    QTest::keyClick(editor()->pickList(), Qt::Key_Return);
    settle();
    EXPECT_EQ(cod(), QStringLiteral("Z99"));
    EXPECT_EQ(editor()->text(), QStringLiteral("Ultimul"));
    EXPECT_EQ(groups.fieldByName(QStringLiteral("Cod"))->asString(), QStringLiteral("A01"))
        << "the lookup table is back where it was";
    press(Qt::Key_Down);
    EXPECT_TRUE(storedCodes().contains(QStringLiteral("Z99")));
    table.close();
}

TEST_F(KeyGridTest, TheWindowsButtonsTakeEnterAndEscapeTheGridHasNoUseFor) {
    ui::Button ok(QStringLiteral("OK"), &form);
    ui::Button cancel(QStringLiteral("&Renunta"), &form);
    ok.setGeometry(200, 260, 60, 24);
    cancel.setGeometry(270, 260, 60, 24);
    ok.setDefault(true);
    cancel.setCancel(true);
    int oks = 0;
    int cancels = 0;
    ok.onClick = [&] { ++oks; };
    cancel.onClick = [&] { ++cancels; };
    show(TDBGridOptions(dgTitles | dgIndicator | dgRowSelect));
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(cod(), QStringLiteral("A02"));
    press(Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);

    // A disabled default button leaves Enter to the grid, and pending work keeps Escape there.
    grid->setOptions(kEntryOptions);
    ok.setEnabled(false);
    grid->setFocus();
    settle();
    press(Qt::Key_Return);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(grid->selectedIndex(), 1);
    type(QStringLiteral("x"));
    press(Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(editor()->text(), QStringLiteral("Denumire 2"));
}

TEST_F(KeyGridTest, AnEditorShownOnDemandOpensWithF2OrTypingAndClosesWithEscape) {
    show(TDBGridOptions(dgEditing | dgTitles | dgIndicator | dgTabs));
    EXPECT_FALSE(editor() && editor()->isVisible());
    press(Qt::Key_F2);
    ASSERT_TRUE(editor() && editor()->isVisible());
    EXPECT_TRUE(editor()->hasFocus());
    // Enter in an editor that is not always shown selects its text and stays.
    editor()->setCursorPosition(1);
    press(Qt::Key_Return);
    EXPECT_EQ(grid->selectedIndex(), 0);
    EXPECT_EQ(editor()->selectedText(), QStringLiteral("A01"));
    press(Qt::Key_Escape);
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_TRUE(grid->hasFocus());

    press(Qt::Key_Right);
    type(QStringLiteral("Q"));
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->text(), QStringLiteral("Q")) << "the typed character replaces the cell";
    EXPECT_EQ(table.state(), db::DataSetState::Edit);

    int doubleClicks = 0;
    grid->onDblClick = [&] { ++doubleClicks; };
    QTest::mouseDClick(editor(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    settle();
    EXPECT_EQ(doubleClicks, 1) << "a double click in the editor is the grid's";
}

TEST_F(KeyGridTest, CtrlEnterOnAnEmptyTableReachesTheWindowWhichMayStartALine) {
    show(kEntryOptions, 0);
    ASSERT_TRUE(grid->hasFocus());
    EXPECT_EQ(grid->rowCount(), 0);
    grid->onKeyPress = [&](char16_t& key) {
        if (key != 10)
            return;
        table.append();
        table.fieldByName(QStringLiteral("Cod"))->setAsString(QStringLiteral("N01"));
        grid->setCurrentField(table.fieldByName(QStringLiteral("Denumire")));
        key = 0;
    };
    press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(grid->rowCount(), 1);
    ASSERT_TRUE(editor() && editor()->isVisible());
    EXPECT_TRUE(editor()->hasFocus());
    EXPECT_EQ(grid->selectedIndex(), 1);
    type(QStringLiteral("Linie noua"));
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    EXPECT_EQ(storedCodes(), QStringList{QStringLiteral("N01")});
}

} // namespace
