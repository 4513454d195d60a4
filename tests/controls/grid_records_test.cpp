// The normal data grid over its records: the window that follows the dataset's cursor, values
// computed for every paint, the drawing event, the selected rows, focus and the mouse.
#include "grid_fixture.h"

#include "platform/base/errors.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>

using namespace controlstest;

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

using RecordGridTest = GridTest;

TEST_F(RecordGridTest, TheWindowFollowsTheCursorAndScrollsOnlyAtItsEdges) {
    show(kEntryOptions, 40);
    const int rows = grid->visibleRowCount();
    ASSERT_GE(rows, 4);
    ASSERT_LT(rows, 40);
    EXPECT_EQ(grid->rowCount(), rows) << "never more rows than fit";
    for (int i = 1; i < rows; ++i)
        press(Qt::Key_Down);
    EXPECT_EQ(grid->row(), rows - 1);
    EXPECT_EQ(grid->cellText(0, 0), code(1));
    press(Qt::Key_Down);
    EXPECT_EQ(cod(), code(rows + 1));
    EXPECT_EQ(grid->row(), rows - 1) << "the cursor stays at the bottom edge";
    EXPECT_EQ(grid->cellText(0, 0), code(2)) << "the window scrolled by one";
    press(Qt::Key_Up);
    EXPECT_EQ(grid->row(), rows - 2) << "inside the window only the cursor moves";
    EXPECT_EQ(grid->cellText(0, 0), code(2));

    press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(cod(), code(40));
    EXPECT_EQ(grid->row(), rows - 1) << "the last record at the bottom, the window full";
    EXPECT_EQ(grid->cellText(0, 0), code(40 - rows + 1));
    press(Qt::Key_PageUp);
    EXPECT_EQ(cod(), code(40 - rows));
    press(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid->row(), 0);
    EXPECT_EQ(grid->cellText(0, 0), code(1));

    // The scroll bar and the wheel move the cursor, not the rows.
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(cod(), code(2));
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(cod(), code(40));
    const QPoint inside = grid->viewport()->rect().center();
    QWheelEvent wheel(inside, grid->viewport()->mapToGlobal(inside), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(grid->viewport(), &wheel);
    EXPECT_EQ(cod(), code(39));
    EXPECT_EQ(grid->row(), rows - 2);

    // Moves made by the program are followed too.
    table.locate(QStringLiteral("Cod"), {code(20)});
    EXPECT_EQ(grid->cellText(grid->row(), 0), code(20));
    EXPECT_EQ(editor()->text(), code(20));
}

TEST_F(RecordGridTest, CalculatedValuesAreComputedForEveryRowOfEveryPaint) {
    show();
    std::vector<std::pair<QString, QString>> drawn;
    grid->onDrawColumnCell = [&](TNormalCustomDBGrid& sender, const QRect& rect, int,
                                 TColumn& column, TGridDrawState state) {
        if (column.fieldName() == QStringLiteral("Cod"))
            drawn.emplace_back(table.fieldByName(QStringLiteral("Cod"))->asString(),
                               table.fieldByName(QStringLiteral("Dublu"))->asString());
        sender.defaultDrawColumnCell(rect, 0, column, state);
    };
    settle();
    drawn.clear();
    const int before = calculations;
    grid->viewport()->repaint();
    EXPECT_GE(calculations - before, 5) << "each row computed again";
    EXPECT_LE(calculations - before, 5 + 1) << "once per row, not once per cell";
    std::sort(drawn.begin(), drawn.end());
    ASSERT_EQ(drawn.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(drawn[size_t(i)].first, code(i + 1)) << "the fields read the row being drawn";
        EXPECT_EQ(drawn[size_t(i)].second, QString::number((i + 1) * 2));
    }
    EXPECT_EQ(cod(), QStringLiteral("A01")) << "drawing does not move the cursor";
}

TEST_F(RecordGridTest, TheDrawingEventChangesTheCanvasForTheDefaultDrawing) {
    show();
    QList<QColor> colours;
    grid->onDrawColumnCell = [&](TNormalCustomDBGrid& sender, const QRect& rect, int dataCol,
                                 TColumn& column, TGridDrawState state) {
        const TCanvas saved = sender.canvas();
        if (column.fieldName() == QStringLiteral("Cant") &&
            table.fieldByName(QStringLiteral("Cant"))->asFloat() > 3) {
            sender.canvas().fontColor = QColor(255, 0, 0);
            sender.canvas().font.setBold(true);
        }
        colours << sender.canvas().fontColor;
        sender.defaultDrawColumnCell(rect, dataCol, column, state);
        sender.canvas() = saved;
    };
    QImage image(grid->size(), QImage::Format_ARGB32);
    grid->render(&image);
    EXPECT_EQ(colours.count(QColor(255, 0, 0)), 2) << "the rows with 4 and 5";
    bool red = false;
    for (int y = 0; y < image.height() && !red; ++y)
        for (int x = 0; x < image.width() && !red; ++x)
            red = image.pixelColor(x, y) == QColor(255, 0, 0);
    EXPECT_TRUE(red) << "the default drawing used the changed colour";
}

TEST_F(RecordGridTest, SelectingAnAlreadySelectedRowChangesNothingAndDoesNotRepaint) {
    show(TDBGridOptions(dgTitles | dgIndicator | dgRowSelect | dgMultiSelect));
    TXBookmarkList& selection = grid->selectedRecords();
    selection.setCurrentRecordSelected(true);
    settle();
    PaintCounter counter(grid->viewport());
    selection.setCurrentRecordSelected(true);
    settle();
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(selection.count(), 1);
    press(Qt::Key_Down, Qt::ShiftModifier); // anchor A01 already selected, then A02
    counter.paints = 0;
    selection.setCurrentRecordSelected(true);
    settle();
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(selection.count(), 2);
    selection.setCurrentRecordSelected(false);
    settle();
    EXPECT_GT(counter.paints, 0);
    EXPECT_EQ(selection.count(), 1);
    counter.paints = 0;
    selection.setCurrentRecordSelected(false);
    settle();
    EXPECT_EQ(counter.paints, 0) << "deselecting an unselected row is nothing either";
}

TEST_F(RecordGridTest, ShiftMovesSelectFromTheAnchorAndDeselectOnTheWayBack) {
    show(TDBGridOptions(dgTitles | dgIndicator | dgRowSelect | dgMultiSelect));
    press(Qt::Key_Down);
    press(Qt::Key_Down, Qt::ShiftModifier);
    press(Qt::Key_Down, Qt::ShiftModifier);
    TXBookmarkList& selection = grid->selectedRecords();
    EXPECT_EQ(selection.count(), 3); // A02, A03, A04
    press(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(selection.count(), 2) << "moving back towards the anchor deselects";
    EXPECT_FALSE(selection.currentRecordSelected() && cod() == QStringLiteral("A04"));
    press(Qt::Key_Up, Qt::ShiftModifier);
    press(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(cod(), QStringLiteral("A01"));
    EXPECT_EQ(selection.count(), 2) << "past the anchor it selects again: A02 and A01";
    press(Qt::Key_Down);
    EXPECT_EQ(selection.count(), 0) << "a move without Shift empties the selection";

    // Removing multi-selection empties it; a closed dataset cannot say what is selected.
    press(Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_EQ(selection.count(), 2);
    grid->setOptions(grid->options() & ~TDBGridOptions(dgMultiSelect));
    EXPECT_EQ(selection.count(), 0);
    grid->setOptions(grid->options() | dgMultiSelect);
    press(Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_EQ(selection.count(), 2);
    table.close();
    EXPECT_EQ(selection.count(), 0) << "the link closing empties the selection";
    try {
        selection.currentRecordSelected();
        FAIL() << "read on a closed dataset";
    } catch (const base::DatabaseError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot perform this operation on a closed dataset"));
    }
}

TEST_F(RecordGridTest, ClicksMoveTheCursorAndSelectWithCtrl) {
    show(TDBGridOptions(dgTitles | dgIndicator | dgRowSelect | dgMultiSelect));
    auto clickRow = [&](int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QRect cell = grid->visualRect(grid->model()->index(row, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, cell.center());
        settle();
    };
    clickRow(3);
    EXPECT_EQ(cod(), QStringLiteral("A04"));
    EXPECT_EQ(grid->selectedRecords().count(), 1);
    clickRow(1, Qt::ControlModifier);
    EXPECT_EQ(grid->selectedRecords().count(), 2);
    clickRow(1, Qt::ControlModifier);
    EXPECT_EQ(grid->selectedRecords().count(), 1) << "Ctrl+click toggles";
    clickRow(0);
    EXPECT_EQ(grid->selectedRecords().count(), 1);
    EXPECT_TRUE(grid->selectedRecords().currentRecordSelected());

    int doubleClicks = 0;
    grid->onDblClick = [&] { ++doubleClicks; };
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                       grid->visualRect(grid->model()->index(2, 0)).center());
    EXPECT_EQ(doubleClicks, 1);
}

TEST_F(RecordGridTest, FocusingACellPutsTheCaretAfterTheTextWithNothingSelected) {
    show();
    other->setFocus();
    settle();
    press(Qt::Key_Tab); // from the last control round to the grid
    ASSERT_TRUE(editor()->hasFocus());
    EXPECT_FALSE(editor()->hasSelectedText());
    EXPECT_EQ(editor()->cursorPosition(), 3);
    EXPECT_EQ(editor()->text(), QStringLiteral("A01"));

    // A click on another cell of the grid does the same.
    other->setFocus();
    settle();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->visualRect(grid->model()->index(1, 1)).center());
    settle();
    ASSERT_TRUE(editor()->hasFocus());
    EXPECT_EQ(editor()->text(), QStringLiteral("Denumire 2"));
    EXPECT_FALSE(editor()->hasSelectedText());
    EXPECT_EQ(editor()->cursorPosition(), 10);
}

TEST_F(RecordGridTest, LeavingTheGridWritesThePendingTextWithoutPosting) {
    int exits = 0;
    int enters = 0;
    grid->onExit = [&] { ++exits; };
    grid->onEnter = [&] { ++enters; };
    show();
    EXPECT_EQ(enters, 1);
    editor()->selectAll();
    type(QStringLiteral("B01"));
    other->setFocus(Qt::TabFocusReason);
    settle();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(table.state(), db::DataSetState::Edit);
    EXPECT_EQ(cod(), QStringLiteral("B01"));
    EXPECT_EQ(storedCodes().first(), QStringLiteral("A01"));

    // Moving between the grid and its editor is neither an entry nor an exit.
    grid->setFocus(Qt::TabFocusReason);
    settle();
    EXPECT_EQ(enters, 2);
    EXPECT_EQ(exits, 1);
}

TEST_F(RecordGridTest, CancelOnExitDropsAnUntouchedNewRecord) {
    show(kEntryOptions | dgCancelOnExit);
    press(Qt::Key_Insert);
    ASSERT_EQ(table.state(), db::DataSetState::Insert);
    other->setFocus(Qt::TabFocusReason);
    settle();
    EXPECT_EQ(table.state(), db::DataSetState::Browse);
    EXPECT_EQ(grid->rowCount(), 5);
}

TEST_F(RecordGridTest, OptionsAndColumns) {
    show(TDBGridOptions(dgEditing | dgAlwaysShowEditor | dgRowSelect | dgTitles));
    EXPECT_EQ(grid->options(), TDBGridOptions(dgRowSelect | dgTitles))
        << "whole-row selection edits nothing";
    EXPECT_FALSE(grid->verticalHeader()->isVisible());
    grid->setOptions(TDBGridOptions(1 | 2 | 4 | 8));
    EXPECT_EQ(grid->options(),
              TDBGridOptions(dgEditing | dgAlwaysShowEditor | dgTitles | dgIndicator));
    EXPECT_TRUE(grid->verticalHeader()->isVisible());
    EXPECT_EQ(int(dgRowSelect), 256);
    EXPECT_EQ(int(dgMultiSelect), 4096);

    grid->setCurrentField(table.fieldByName(QStringLiteral("Cant")));
    EXPECT_EQ(grid->selectedIndex(), 2);
    EXPECT_EQ(grid->currentField(), table.fieldByName(QStringLiteral("Cant")));
    grid->columns().items(1)->setVisible(false);
    grid->setCurrentField(table.fieldByName(QStringLiteral("Denumire")));
    EXPECT_EQ(grid->selectedIndex(), 2) << "a hidden column is not moved to";
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Cod"));
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(0), 80);

    // A grid without columns of its own shows every visible field.
    TNormalDBGrid plain(&form);
    plain.setDataSource(&source);
    EXPECT_EQ(plain.columns().count(), 4);
    EXPECT_EQ(plain.columns().state(), TDBGridColumns::State::Default);
    table.close();
    EXPECT_EQ(plain.columns().count(), 0);
    EXPECT_EQ(plain.rowCount(), 0);
}

// Reopening the dataset under a grid: columns that stay the same are kept (the view is not laid
// out again) and only the rows are read anew; each row read is computed once, and the paint that
// follows takes the values the read computed.
struct Reopening {
    const char* name;
    bool ownColumns; // the grid's own columns, or the dataset's visible fields
    bool addAField;  // a calculated field added while the dataset is closed
    int resets;      // times the view lays itself out anew, closing and opening
    QStringList titles;
};

void PrintTo(const Reopening& r, std::ostream* os) {
    *os << r.name;
}

class GridReopenTest : public GridTest, public ::testing::WithParamInterface<Reopening> {};

TEST_P(GridReopenTest, KeepsColumnsThatStayAndComputesEachRowOnce) {
    const Reopening& p = GetParam();
    fill(5);
    grid->setOptions(kEntryOptions);
    if (p.ownColumns) {
        grid->columns().add(QStringLiteral("Cod"), QStringLiteral("Cod"), 80);
        grid->columns().add(QStringLiteral("Cant"), QStringLiteral("Cantitate"), 80);
    }
    grid->setDataSource(&source);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    settle();

    QSignalSpy resets(grid->model(), &QAbstractItemModel::modelReset);
    table.close();
    {
        db::Table writer;
        writer.setSession(&session);
        writer.setDatabaseName(QStringLiteral("TESTDB"));
        writer.setTableName(QStringLiteral("Linii.DB"));
        writer.open();
        writer.next();
        writer.edit();
        writer.fieldByName(QStringLiteral("Cant"))->setAsFloat(20);
        writer.post();
    }
    if (p.addAField)
        table.addCalculatedField(QStringLiteral("Triplu"), db::FieldType::Float);
    const int before = calculations;
    table.open();
    const int read = calculations - before;
    grid->viewport()->repaint();
    const int painted = calculations - before - read;
    settle();

    EXPECT_EQ(resets.count(), p.resets);
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, p.titles);
    const int cant =
        int(titles.indexOf(p.ownColumns ? QStringLiteral("Cantitate") : QStringLiteral("Cant")));
    ASSERT_GE(cant, 0);
    EXPECT_EQ(grid->model()->index(1, cant).data().toString(), QStringLiteral("20"))
        << "the rows are read anew";
    EXPECT_GE(read, 5);
    EXPECT_LE(read, 5 + 1) << "each row once, and the current record as the cursor reaches it";
    EXPECT_LE(painted, 1) << "the first paint takes what the read computed, but for the current "
                             "record";

    const int again = calculations;
    grid->viewport()->repaint();
    EXPECT_GE(calculations - again, 5) << "a later paint computes every row again";
}

INSTANTIATE_TEST_SUITE_P(
    Grid, GridReopenTest,
    ::testing::Values(
        Reopening{"OwnColumns", true, false, 0, {"Cod", "Cantitate"}},
        Reopening{"OwnColumnsWithANewField", true, true, 0, {"Cod", "Cantitate"}},
        // A closed dataset has no fields to show: its columns go and come back with it. The
        // fields it declares come before those of the table.
        Reopening{"TheDatasetsFields", false, false, 2, {"Dublu", "Cod", "Denumire", "Cant"}},
        Reopening{"TheDatasetsFieldsAndANewOne",
                  false,
                  true,
                  2,
                  {"Dublu", "Triplu", "Cod", "Denumire", "Cant"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

// A desktop that notes whether the grid's model was in the middle of a change when a box opened:
// between the begin and end of a reset or of rows coming or going, or holding rows its view has
// not heard of.
class ModelWatchingDesktop : public testsupport::RecordingDesktop {
public:
    explicit ModelWatchingDesktop(QAbstractItemModel* model) : m_model(model) {
        known = model->rowCount();
        const auto begin = [this] { ++changing; };
        QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, begin);
        QObject::connect(model, &QAbstractItemModel::rowsAboutToBeInserted, begin);
        QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, begin);
        QObject::connect(model, &QAbstractItemModel::modelReset, [this] {
            --changing;
            known = m_model->rowCount();
        });
        QObject::connect(model, &QAbstractItemModel::rowsInserted,
                         [this](const QModelIndex&, int first, int last) {
                             --changing;
                             known += last - first + 1;
                         });
        QObject::connect(model, &QAbstractItemModel::rowsRemoved,
                         [this](const QModelIndex&, int first, int last) {
                             --changing;
                             known -= last - first + 1;
                         });
    }
    ui::ModalResult messageBox(ui::MessageKind kind, const QString& caption, const QString& text,
                               ui::MessageButtons buttons,
                               ui::MessageButtons defaultButton) override {
        if (changing != 0 || known != m_model->rowCount())
            ++boxesInsideAChange;
        return RecordingDesktop::messageBox(kind, caption, text, buttons, defaultButton);
    }
    int changing = 0;
    int known = 0; // rows the view was told of
    int boxesInsideAChange = 0;

private:
    QAbstractItemModel* m_model;
};

enum class Change { Reopen, Refresh };

void PrintTo(Change change, std::ostream* os) {
    *os << (change == Change::Reopen ? "Reopen" : "Refresh");
}

class GridReadErrorTest : public GridTest, public ::testing::WithParamInterface<Change> {};

} // namespace

// A record that cannot be read while the grid re-reads its window: the error is shown once the
// view has heard the whole change, never from inside it, and the grid goes on showing nothing.
TEST_P(GridReadErrorTest, IsReportedAfterTheModelChange) {
    show(kEntryOptions, 5);
    ModelWatchingDesktop watching(grid->model());
    ui::application()->setDesktop(&watching);
    bool failing = false;
    table.onCalcFields = [&](db::DataSet& d) {
        if (failing && d.fieldByName(QStringLiteral("Cod"))->asString() == code(3))
            throw base::DatabaseError(QStringLiteral("Record A03 cannot be read"));
    };
    if (GetParam() == Change::Reopen) {
        table.close();
        failing = true;
        table.open();
    } else {
        failing = true;
        table.refresh();
    }
    settle();
    ui::application()->setDesktop(&desktop);
    ASSERT_EQ(watching.boxes.size(), 1u);
    EXPECT_EQ(watching.boxes[0].text, "Record A03 cannot be read");
    EXPECT_EQ(watching.boxesInsideAChange, 0);
    EXPECT_EQ(watching.changing, 0);
    EXPECT_EQ(grid->model()->rowCount(), 0);

    failing = false;
    table.refresh();
    settle();
    EXPECT_EQ(grid->model()->rowCount(), 5);
}

INSTANTIATE_TEST_SUITE_P(Grid, GridReadErrorTest,
                         ::testing::Values(Change::Reopen, Change::Refresh), [](const auto& info) {
                             return std::string(info.param == Change::Reopen ? "Reopen"
                                                                             : "Refresh");
                         });
