// The normal data grid at its edges: every record move from both ends and from the middle, with
// and without a filter; Escape on a record that was changed and on one that was only started;
// text typed exactly to its field's width and one past it.
#include "grid_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

using namespace controlstest;

namespace {

// ---- moving through the records ----

enum class From { First, Middle, Last };
enum class To { First, Last, Stay, OneDown, OneUp, PageDown, PageUp, WindowTop, WindowBottom };

struct Move {
    const char* name;
    bool filtered;  // only the odd records are in view
    bool rowSelect; // a browsing grid: whole rows, no editor, read-only
    From from;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    To to;
};
void PrintTo(const Move& m, std::ostream* os) {
    *os << m.name;
}

class GridMove : public GridTest, public ::testing::WithParamInterface<Move> {
protected:
    static constexpr int kRecords = 60;
    // The code of the record at a position in view.
    QString inView(int index) const {
        return code(GetParam().filtered ? 2 * index + 1 : index + 1);
    }
    int viewCount() const { return GetParam().filtered ? kRecords / 2 : kRecords; }
};

TEST_P(GridMove, ReachesTheRecordItShouldAndNeverPastAnEnd) {
    const Move& m = GetParam();
    if (m.rowSelect)
        grid->setReadOnly(true);
    show(m.rowSelect
             ? TDBGridOptions(dgTitles | dgIndicator | dgColLines | dgRowLines | dgRowSelect)
             : kEntryOptions,
         kRecords);
    if (m.filtered) {
        table.onFilterRecord = [](db::DataSet& d, bool& accept) {
            accept = d.fieldByName(QStringLiteral("Cant"))->asInteger() % 2 == 1;
        };
        table.setFiltered(true);
        settle();
    }
    const int n = viewCount();
    int start = 0;
    switch (m.from) {
    case From::First:
        press(Qt::Key_Home, Qt::ControlModifier);
        break;
    case From::Last:
        press(Qt::Key_End, Qt::ControlModifier);
        start = n - 1;
        break;
    case From::Middle:
        press(Qt::Key_Home, Qt::ControlModifier);
        start = n / 2;
        for (int i = 0; i < start; ++i)
            press(Qt::Key_Down);
        break;
    }
    ASSERT_EQ(cod(), inView(start));
    const int page = grid->visibleRowCount();
    ASSERT_GT(page, 2);
    ASSERT_LT(page, n / 2) << "the grid shows fewer records than the table holds";
    const int windowTop = start - grid->row();
    const int windowBottom = start + grid->rowCount() - 1 - grid->row();
    int want = start;
    switch (m.to) {
    case To::First:
        want = 0;
        break;
    case To::Last:
        want = n - 1;
        break;
    case To::Stay:
        want = start;
        break;
    case To::OneDown:
        want = std::min(start + 1, n - 1);
        break;
    case To::OneUp:
        want = std::max(start - 1, 0);
        break;
    case To::PageDown:
        want = std::min(start + page, n - 1);
        break;
    case To::PageUp:
        want = std::max(start - page, 0);
        break;
    case To::WindowTop:
        want = windowTop;
        break;
    case To::WindowBottom:
        want = windowBottom;
        break;
    }
    press(m.key, m.modifiers);
    EXPECT_EQ(cod(), inView(want));
    EXPECT_EQ(table.state(), db::DataSetState::Browse) << "a move never starts a record";
    EXPECT_EQ(storedCodes().size(), kRecords);
    // The cursor's row in the grid shows the current record.
    EXPECT_EQ(grid->cellText(grid->row(), 0), inView(want));
}

#define MOVES(prefix, filtered)                                                                     \
    Move{prefix "DownFromFirst", filtered, false, From::First, Qt::Key_Down, {}, To::OneDown},      \
        Move{prefix "UpFromFirst", filtered, false, From::First, Qt::Key_Up, {}, To::Stay},         \
        Move{prefix "UpFromLast", filtered, false, From::Last, Qt::Key_Up, {}, To::OneUp},          \
        Move{                                                                                       \
            prefix "DownFromMiddle", filtered, false, From::Middle, Qt::Key_Down, {}, To::OneDown}, \
        Move{prefix "UpFromMiddle", filtered, false, From::Middle, Qt::Key_Up, {}, To::OneUp},      \
        Move{prefix "PageDownFromFirst", filtered, false,       From::First,                        \
             Qt::Key_PageDown,           {},       To::PageDown},                                   \
        Move{prefix "PageDownFromMiddle",                                                           \
             filtered,                                                                              \
             false,                                                                                 \
             From::Middle,                                                                          \
             Qt::Key_PageDown,                                                                      \
             {},                                                                                    \
             To::PageDown},                                                                         \
        Move{prefix "PageDownFromLast", filtered, false,   From::Last,                              \
             Qt::Key_PageDown,          {},       To::Last},                                        \
        Move{                                                                                       \
            prefix "PageUpFromLast", filtered, false, From::Last, Qt::Key_PageUp, {}, To::PageUp},  \
        Move{prefix "PageUpFromMiddle",                                                             \
             filtered,                                                                              \
             false,                                                                                 \
             From::Middle,                                                                          \
             Qt::Key_PageUp,                                                                        \
             {},                                                                                    \
             To::PageUp},                                                                           \
        Move{                                                                                       \
            prefix "PageUpFromFirst", filtered, false, From::First, Qt::Key_PageUp, {}, To::First}, \
        Move{prefix "CtrlHomeFromLast", filtered, false, From::Last, Qt::Key_Home,                  \
             Qt::ControlModifier,       To::First},                                                 \
        Move{prefix "CtrlHomeFromFirst", filtered, false, From::First, Qt::Key_Home,                \
             Qt::ControlModifier,        To::First},                                                \
        Move{prefix "CtrlEndFromFirst", filtered, false, From::First, Qt::Key_End,                  \
             Qt::ControlModifier,       To::Last},                                                  \
        Move{prefix "CtrlEndFromLast", filtered, false, From::Last, Qt::Key_End,                    \
             Qt::ControlModifier,      To::Last},                                                   \
        Move{prefix "CtrlPageUpToTheWindowsTop",                                                    \
             filtered,                                                                              \
             false,                                                                                 \
             From::Last,                                                                            \
             Qt::Key_PageUp,                                                                        \
             Qt::ControlModifier,                                                                   \
             To::WindowTop},                                                                        \
        Move{prefix "CtrlPageDownToTheWindowsBottom",                                               \
             filtered,                                                                              \
             false,                                                                                 \
             From::First,                                                                           \
             Qt::Key_PageDown,                                                                      \
             Qt::ControlModifier,                                                                   \
             To::WindowBottom},                                                                     \
        Move{prefix "CtrlUpToTheWindowsTop",                                                        \
             filtered,                                                                              \
             false,                                                                                 \
             From::Middle,                                                                          \
             Qt::Key_Up,                                                                            \
             Qt::ControlModifier,                                                                   \
             To::WindowTop},                                                                        \
        Move{prefix "CtrlDownToTheWindowsBottom",                                                   \
             filtered,                                                                              \
             false,                                                                                 \
             From::Middle,                                                                          \
             Qt::Key_Down,                                                                          \
             Qt::ControlModifier,                                                                   \
             To::WindowBottom},                                                                     \
        Move{prefix "RowSelectDownFromLast",                                                        \
             filtered,                                                                              \
             true,                                                                                  \
             From::Last,                                                                            \
             Qt::Key_Down,                                                                          \
             {},                                                                                    \
             To::Stay},                                                                             \
        Move{prefix "RowSelectHomeFromLast",                                                        \
             filtered,                                                                              \
             true,                                                                                  \
             From::Last,                                                                            \
             Qt::Key_Home,                                                                          \
             {},                                                                                    \
             To::First},                                                                            \
        Move{prefix "RowSelectEndFromFirst",                                                        \
             filtered,                                                                              \
             true,                                                                                  \
             From::First,                                                                           \
             Qt::Key_End,                                                                           \
             {},                                                                                    \
             To::Last},                                                                             \
        Move{prefix "RowSelectHomeFromFirst",                                                       \
             filtered,                                                                              \
             true,                                                                                  \
             From::First,                                                                           \
             Qt::Key_Home,                                                                          \
             {},                                                                                    \
             To::First},                                                                            \
        Move {                                                                                      \
        prefix "RowSelectEndFromLast", filtered, true, From::Last, Qt::Key_End, {}, To::Last        \
    }

INSTANTIATE_TEST_SUITE_P(Grid, GridMove,
                         ::testing::Values(MOVES("", false), MOVES("Filtered", true)),
                         [](const auto& info) { return std::string(info.param.name); });
#undef MOVES

// ---- Escape ----

enum class Started {
    ChangedCellWritten,
    ChangedCellPending,
    NewRecordUntouched,
    NewRecordTyped,
    AppendedTyped
};

struct Escape {
    const char* name;
    Started started;
    int escapes;      // presses that bring the dataset back to browsing
    const char* back; // the current record afterwards
};
void PrintTo(const Escape& e, std::ostream* os) {
    *os << e.name;
}

class GridEscape : public GridTest, public ::testing::WithParamInterface<Escape> {};

TEST_P(GridEscape, UndoesTheCellThenTheRecordAndStoresNothing) {
    const Escape& e = GetParam();
    show();
    press(Qt::Key_Down); // on A02
    switch (e.started) {
    case Started::ChangedCellWritten:
        press(Qt::Key_Return);
        type(QStringLiteral("abc"));
        press(Qt::Key_Tab); // written into the field, the record still in edit
        ASSERT_EQ(field("Denumire"), QStringLiteral("abc"));
        break;
    case Started::ChangedCellPending:
        type(QStringLiteral("Z"));
        break;
    case Started::NewRecordUntouched:
        press(Qt::Key_Insert);
        break;
    case Started::NewRecordTyped:
        press(Qt::Key_Insert);
        type(QStringLiteral("Z1"));
        break;
    case Started::AppendedTyped:
        press(Qt::Key_End, Qt::ControlModifier);
        press(Qt::Key_Down);
        type(QStringLiteral("Z9"));
        press(Qt::Key_Tab);
        break;
    }
    ASSERT_NE(table.state(), db::DataSetState::Browse);
    for (int i = 1; i < e.escapes; ++i) {
        press(Qt::Key_Escape);
        EXPECT_NE(table.state(), db::DataSetState::Browse)
            << "the first Escape undoes only the cell";
    }
    press(Qt::Key_Escape);
    EXPECT_EQ(table.state(), db::DataSetState::Browse);
    EXPECT_EQ(cod(), QString::fromLatin1(e.back));
    EXPECT_EQ(grid->cellText(grid->row(), 0), QString::fromLatin1(e.back));
    EXPECT_EQ(grid->rowCount(), 5) << "no row is left for a dropped record";
    EXPECT_EQ(storedCodes(), (QStringList{"A01", "A02", "A03", "A04", "A05"}));
    table.refresh();
    EXPECT_EQ(field("Denumire"),
              QStringLiteral("Denumire %1").arg(QString::fromLatin1(e.back).mid(1).toInt()));
    EXPECT_TRUE(desktop.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Grid, GridEscape,
    ::testing::Values(
        Escape{"ChangedRecordWithTheCellWritten", Started::ChangedCellWritten, 1, "A02"},
        Escape{"ChangedRecordWithTheCellPending", Started::ChangedCellPending, 2, "A02"},
        Escape{"NewRecordOnlyStarted", Started::NewRecordUntouched, 1, "A02"},
        Escape{"NewRecordTypedInto", Started::NewRecordTyped, 2, "A02"},
        Escape{"AppendedRecordWithACellWritten", Started::AppendedTyped, 1, "A05"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- text at its field's width ----

struct Typed {
    const char* name;
    int column; // 0 Cod, text(10); 1 Denumire, text(20)
    const char* text;
    int width;
};
void PrintTo(const Typed& t, std::ostream* os) {
    *os << t.name;
}

class GridTextWidth : public GridTest, public ::testing::WithParamInterface<Typed> {};

// The editor takes as many characters as the field holds and no more, so a value typed past the
// width is never refused later: it simply ends at the width.
TEST_P(GridTextWidth, TakesTextUpToTheFieldsWidthAndNoFurther) {
    const Typed& t = GetParam();
    show();
    const char* name = t.column == 0 ? "Cod" : "Denumire";
    grid->setCurrentField(table.fieldByName(QString::fromLatin1(name)));
    editor()->selectAll();
    const QString text = QString::fromUtf8(t.text);
    // Letters beyond ASCII have no key of their own: each arrives as the text of a key event.
    for (QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
        settle();
    }
    const QString kept = text.left(t.width);
    EXPECT_EQ(editor()->text(), kept);
    // Tab writes the cell into its field; the record is posted here, since a changed code may
    // move it to the end, where a further Down would start a new record.
    press(Qt::Key_Tab);
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(field(name), kept);
    table.post();
    EXPECT_TRUE(table.locate(QString::fromLatin1(name), {kept})) << "stored as typed";
}

INSTANTIATE_TEST_SUITE_P(
    Grid, GridTextWidth,
    ::testing::Values(Typed{"CodeAtItsWidth", 0, "B123456789", 10},
                      Typed{"CodeOnePastItsWidth", 0, "B1234567890", 10},
                      Typed{"CodeOfRomanianLettersAtItsWidth", 0, "ĂÂÎŞŢăâîşţ", 10},
                      Typed{"CodeOfRomanianLettersOnePast", 0, "ĂÂÎŞŢăâîşţX", 10},
                      Typed{"NameAtItsWidth", 1, "Denumire de douăzeci", 20},
                      Typed{"NameOnePastItsWidth", 1, "Denumire de douăzecii", 20}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- keys that change the cell's text ----

enum class Caret { End, Start, AllSelected };

struct EditKey {
    const char* name;
    bool readOnly;
    Caret caret;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* text; // the editor's text afterwards, from "A01" with "Z" on the clipboard
};
void PrintTo(const EditKey& k, std::ostream* os) {
    *os << k.name;
}

class GridEditKey : public GridTest, public ::testing::WithParamInterface<EditKey> {};

TEST_P(GridEditKey, ChangesTheTextOnlyWhereTheRecordMayChange) {
    const EditKey& k = GetParam();
    if (k.readOnly)
        grid->setReadOnly(true);
    show();
    QGuiApplication::clipboard()->setText(QStringLiteral("Z"));
    ASSERT_NE(editor(), nullptr);
    ASSERT_TRUE(editor()->hasFocus());
    ASSERT_EQ(editor()->text(), QStringLiteral("A01"));
    switch (k.caret) {
    case Caret::End:
        editor()->end(false);
        break;
    case Caret::Start:
        editor()->home(false);
        break;
    case Caret::AllSelected:
        editor()->selectAll();
        break;
    }
    press(k.key, k.modifiers);
    EXPECT_EQ(editor()->text(), QString::fromLatin1(k.text));
    const bool changed = QString::fromLatin1(k.text) != QLatin1String("A01");
    EXPECT_EQ(table.state(), changed ? db::DataSetState::Edit : db::DataSetState::Browse)
        << "a refused key leaves the record alone";
    press(Qt::Key_Escape);
    press(Qt::Key_Escape);
    EXPECT_EQ(storedCodes().value(0), QStringLiteral("A01"));
}

INSTANTIATE_TEST_SUITE_P(
    Grid, GridEditKey,
    ::testing::Values(
        EditKey{"Backspace", false, Caret::End, Qt::Key_Backspace, {}, "A0"},
        EditKey{"BackspaceReadOnly", true, Caret::End, Qt::Key_Backspace, {}, "A01"},
        EditKey{"DeleteAtTheStart", false, Caret::Start, Qt::Key_Delete, {}, "01"},
        EditKey{"DeleteAtTheStartReadOnly", true, Caret::Start, Qt::Key_Delete, {}, "A01"},
        EditKey{"CutWithCtrlX", false, Caret::AllSelected, Qt::Key_X, Qt::ControlModifier, ""},
        EditKey{"CutWithCtrlXReadOnly", true, Caret::AllSelected, Qt::Key_X, Qt::ControlModifier,
                "A01"},
        EditKey{"CutWithShiftDelete", false, Caret::AllSelected, Qt::Key_Delete, Qt::ShiftModifier,
                ""},
        EditKey{"CutWithShiftDeleteReadOnly", true, Caret::AllSelected, Qt::Key_Delete,
                Qt::ShiftModifier, "A01"},
        EditKey{"PasteWithCtrlV", false, Caret::End, Qt::Key_V, Qt::ControlModifier, "A01Z"},
        EditKey{"PasteWithCtrlVReadOnly", true, Caret::End, Qt::Key_V, Qt::ControlModifier, "A01"},
        EditKey{"PasteWithShiftInsert", false, Caret::End, Qt::Key_Insert, Qt::ShiftModifier,
                "A01Z"},
        EditKey{"PasteWithShiftInsertReadOnly", true, Caret::End, Qt::Key_Insert, Qt::ShiftModifier,
                "A01"},
        EditKey{"TypingReadOnly", true, Caret::End, Qt::Key_B, {}, "A01"}),
    [](const auto& info) { return std::string(info.param.name); });

// The grid's model holds nothing of its own: it answers from the grid's cells.
TEST_F(GridTest, TheModelAnswersTheCellsTextAndAlignment) {
    show();
    grid->columns()[2]->setAlignment(Qt::AlignRight);
    settle();
    QAbstractItemModel* model = grid->model();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->rowCount(), grid->rowCount());
    for (int row = 0; row < model->rowCount(); ++row)
        for (int col = 0; col < 3; ++col) {
            EXPECT_EQ(model->data(model->index(row, col)).toString(), grid->cellText(row, col));
        }
    EXPECT_EQ(model->data(model->index(0, 1), Qt::DisplayRole).toString(),
              QStringLiteral("Denumire 1"));
    const auto alignment =
        model->data(model->index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_TRUE(alignment & Qt::AlignRight);
    EXPECT_TRUE(alignment & Qt::AlignVCenter);
    EXPECT_FALSE(model->data(model->index(0, 0), Qt::DecorationRole).isValid());
}

// ---- the scroll bar and the wheel ----

struct Scroll {
    const char* name;
    From from;
    QAbstractSlider::SliderAction action; // SliderMove: the slider dragged to the end it names
    To to;
    bool toMaximum; // for SliderMove
};
void PrintTo(const Scroll& s, std::ostream* os) {
    *os << s.name;
}

class GridScroll : public GridTest, public ::testing::WithParamInterface<Scroll> {};

TEST_P(GridScroll, MovesTheDatasetAndShowsWhereTheCursorIs) {
    const Scroll& s = GetParam();
    constexpr int n = 40;
    show(kEntryOptions, n);
    int start = 0;
    if (s.from == From::Last) {
        press(Qt::Key_End, Qt::ControlModifier);
        start = n - 1;
    } else if (s.from == From::Middle) {
        start = n / 2;
        for (int i = 0; i < start; ++i)
            press(Qt::Key_Down);
    }
    ASSERT_EQ(cod(), code(start + 1));
    const int page = grid->visibleRowCount();
    QScrollBar* bar = grid->verticalScrollBar();
    if (s.action == QAbstractSlider::SliderMove)
        bar->setSliderPosition(s.toMaximum ? bar->maximum() : bar->minimum());
    else
        bar->triggerAction(s.action);
    settle();
    int want = start;
    switch (s.to) {
    case To::First:
        want = 0;
        break;
    case To::Last:
        want = n - 1;
        break;
    case To::OneDown:
        want = std::min(start + 1, n - 1);
        break;
    case To::OneUp:
        want = std::max(start - 1, 0);
        break;
    case To::PageDown:
        want = std::min(start + page, n - 1);
        break;
    case To::PageUp:
        want = std::max(start - page, 0);
        break;
    default:
        break;
    }
    EXPECT_EQ(cod(), code(want + 1));
    // The bar tells only the start, the end or in between.
    EXPECT_EQ(bar->value(), want == 0 ? bar->minimum() : (table.eof() ? bar->maximum() : 2));
}

INSTANTIATE_TEST_SUITE_P(
    Grid, GridScroll,
    ::testing::Values(
        Scroll{"StepDownFromFirst", From::First, QAbstractSlider::SliderSingleStepAdd, To::OneDown,
               false},
        Scroll{"StepUpFromFirst", From::First, QAbstractSlider::SliderSingleStepSub, To::First,
               false},
        Scroll{"StepUpFromLast", From::Last, QAbstractSlider::SliderSingleStepSub, To::OneUp,
               false},
        Scroll{"StepDownFromLast", From::Last, QAbstractSlider::SliderSingleStepAdd, To::Last,
               false},
        Scroll{"PageDownFromFirst", From::First, QAbstractSlider::SliderPageStepAdd, To::PageDown,
               false},
        Scroll{"PageUpFromLast", From::Last, QAbstractSlider::SliderPageStepSub, To::PageUp, false},
        Scroll{"PageUpFromFirst", From::First, QAbstractSlider::SliderPageStepSub, To::First,
               false},
        Scroll{"PageDownFromMiddle", From::Middle, QAbstractSlider::SliderPageStepAdd, To::PageDown,
               false},
        Scroll{"ToTheTopFromLast", From::Last, QAbstractSlider::SliderToMinimum, To::First, false},
        Scroll{"ToTheBottomFromFirst", From::First, QAbstractSlider::SliderToMaximum, To::Last,
               false},
        Scroll{"DraggedToTheTop", From::Middle, QAbstractSlider::SliderMove, To::First, false},
        Scroll{"DraggedToTheBottom", From::Middle, QAbstractSlider::SliderMove, To::Last, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridTest, TheWheelMovesThroughTheRecordsAndStopsAtTheEnds) {
    show(kEntryOptions, 40);
    auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(50, 50), grid->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &event);
        settle();
    };
    wheel(-120);
    const QString afterOneNotch = cod();
    EXPECT_GT(afterOneNotch, code(1)) << "turned towards the user: further down";
    wheel(120);
    EXPECT_EQ(cod(), code(1));
    wheel(120);
    EXPECT_EQ(cod(), code(1)) << "nothing before the first";
    for (int i = 0; i < 60; ++i)
        wheel(-120);
    EXPECT_EQ(cod(), code(40)) << "and nothing after the last";
    EXPECT_EQ(table.state(), db::DataSetState::Browse);
}

} // namespace
