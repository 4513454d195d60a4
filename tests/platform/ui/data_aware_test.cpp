// Data-aware controls on a real table: the edit, the navigator and the grid's link.
#include "recording_desktop.h"
#include "tests/platform/base/scoped_format.h"

#include "platform/base/errors.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/ui/db_edit.h"
#include "platform/ui/db_navigator.h"
#include "platform/ui/form.h"
#include "platform/ui/grid_data_link.h"
#include "platform/ui/speed_button.h"
#include "tests/support/temp_dir.h"

#include <QTest>

#include <memory>

using namespace ui;
using db::FieldType;

namespace {

class DataAwareTest : public testsupport::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        session.addAlias(QStringLiteral("TESTDB"), dir.path());
        database = std::make_unique<db::Database>(QStringLiteral("TESTDB"), &session);
        database->createTable({QStringLiteral("Catalog.DB"),
                               {{QStringLiteral("Cod"), FieldType::Text, 30},
                                {QStringLiteral("Denumire"), FieldType::Text, 10},
                                {QStringLiteral("CantReteta"), FieldType::Float}},
                               {{QString(), {QStringLiteral("Cod")}, true, true}}});
        table.setSession(&session);
        table.setDatabaseName(QStringLiteral("TESTDB"));
        table.setTableName(QStringLiteral("Catalog.DB"));
        table.open();
        for (const char* name : {"Alpha", "Beta", "Gamma"}) {
            table.append();
            table.fieldByName(QStringLiteral("Cod"))->setAsString(QString::fromUtf8(name).left(1));
            table.fieldByName(QStringLiteral("Denumire"))->setAsString(QString::fromUtf8(name));
            table.post();
        }
        table.first();
        source.setDataSet(&table);
    }

    QString current() { return table.fieldByName(QStringLiteral("Denumire"))->asString(); }

    // A form with a bound edit and a second control to move the focus to.
    void showForm() {
        edit->setDataSource(&source);
        edit->setFieldName(QStringLiteral("Denumire"));
        other->move(0, 40);
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        edit->setFocus();
        edit->selectAll();
    }

    testsupport::TempDir dir;
    db::Session session;
    std::unique_ptr<db::Database> database;
    db::Table table;
    db::DataSource source;
    Form form;
    DBEdit* edit = new DBEdit(&form);
    Edit* other = new Edit(&form);
};

TEST_F(DataAwareTest, EditShowsTheCurrentRecordAndFollowsIt) {
    showForm();
    EXPECT_EQ(edit->text(), QStringLiteral("Alpha"));
    EXPECT_EQ(edit->maxLength(), 10);
    table.next();
    EXPECT_EQ(edit->text(), QStringLiteral("Beta"));
    table.close();
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_TRUE(edit->isReadOnly());
}

TEST_F(DataAwareTest, TypingEditsTheRecordAndLeavingWritesTheField) {
    showForm();
    QTest::keyClicks(edit, QStringLiteral("Omega"));
    EXPECT_EQ(table.state(), db::DataSetState::Edit);
    EXPECT_EQ(current(), QStringLiteral("Alpha")); // not yet written
    other->setFocus();
    EXPECT_EQ(current(), QStringLiteral("Omega"));
    EXPECT_EQ(table.state(), db::DataSetState::Edit); // written, not posted
}

TEST_F(DataAwareTest, RefusedValueIsShownAndTheFieldsValueComesBack) {
    table.fieldByName(QStringLiteral("Denumire"))->onValidate = [](db::Field& f) {
        if (f.asString() == QStringLiteral("Bad"))
            throw base::Error(QStringLiteral("Denumire refuzata"));
    };
    showForm();
    QTest::keyClicks(edit, QStringLiteral("Bad"));
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("Denumire refuzata"));
    EXPECT_EQ(edit->text(), QStringLiteral("Alpha"));
    EXPECT_EQ(current(), QStringLiteral("Alpha"));
}

// A batch quantity typed with a dot where the separator is a comma: 0.75, never 75.
TEST_F(DataAwareTest, AFloatEditTypesTheSeparatorForEitherDecimalKey) {
    testsupport::ScopedFormat format("DD/MM/YYYY", '.', ',');
    showForm();
    edit->setFieldName(QStringLiteral("CantReteta"));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("0.7"));
    QTest::keyClick(edit, Qt::Key_Period, Qt::KeypadModifier); // a second separator
    QTest::keyClicks(edit, QStringLiteral("5"));
    EXPECT_EQ(edit->text(), QStringLiteral("0,75"));
    EXPECT_EQ(desktop.beeps, 1);
    other->setFocus();
    EXPECT_DOUBLE_EQ(table.fieldByName(QStringLiteral("CantReteta"))->asFloat(), 0.75);

    edit->setFieldName(QStringLiteral("Denumire")); // a text keeps its dots
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("A.B.C"));
    EXPECT_EQ(edit->text(), QStringLiteral("A.B.C"));
}

TEST_F(DataAwareTest, EscapeAbandonsTheTypedChange) {
    showForm();
    QTest::keyClicks(edit, QStringLiteral("Zeta"));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->text(), QStringLiteral("Alpha"));
    other->setFocus();
    EXPECT_EQ(current(), QStringLiteral("Alpha"));
}

TEST_F(DataAwareTest, ReadOnlyDatasetRefusesTyping) {
    table.close();
    table.setReadOnly(true);
    table.open();
    showForm();
    EXPECT_TRUE(edit->isReadOnly());
    QTest::keyClicks(edit, QStringLiteral("x"));
    EXPECT_EQ(edit->text(), QStringLiteral("Alpha"));
    EXPECT_EQ(table.state(), db::DataSetState::Browse);
}

using B = NavigateButton;

std::vector<bool> enabledButtons(const DBNavigator& navigator) {
    std::vector<bool> enabled;
    for (B b : {B::First, B::Prior, B::Next, B::Last, B::Insert, B::Delete, B::Edit, B::Post,
                B::Cancel, B::Refresh})
        enabled.push_back(navigator.button(b)->isEnabled());
    return enabled;
}

TEST_F(DataAwareTest, NavigatorButtonsFollowTheDataset) {
    DBNavigator navigator;
    EXPECT_EQ(enabledButtons(navigator), std::vector<bool>(10, false));
    navigator.setDataSource(&source);
    //                       First  Prior  Next  Last  Ins   Del   Edit  Post   Cancel Refresh
    EXPECT_EQ(enabledButtons(navigator),
              (std::vector<bool>{false, false, true, true, true, true, true, false, false, true}));
    QTest::mouseClick(navigator.button(B::Last), Qt::LeftButton);
    EXPECT_EQ(current(), QStringLiteral("Gamma"));
    EXPECT_EQ(enabledButtons(navigator),
              (std::vector<bool>{true, true, false, false, true, true, true, false, false, true}));
    navigator.click(B::Edit);
    EXPECT_EQ(enabledButtons(navigator),
              (std::vector<bool>{true, true, false, false, true, true, false, true, true, true}));
    navigator.click(B::Cancel);
    table.close();
    EXPECT_EQ(enabledButtons(navigator), std::vector<bool>(10, false));
}

TEST_F(DataAwareTest, NavigatorPostTakesTheEditsPendingText) {
    DBNavigator navigator(&form);
    navigator.move(0, 80);
    navigator.setDataSource(&source);
    showForm();
    QTest::keyClicks(edit, QStringLiteral("Omega"));
    navigator.click(B::Post);
    EXPECT_EQ(table.state(), db::DataSetState::Browse);
    EXPECT_EQ(current(), QStringLiteral("Omega"));
    EXPECT_EQ(edit->text(), QStringLiteral("Omega"));
}

TEST_F(DataAwareTest, NavigatorDeleteAsksUnlessTold) {
    DBNavigator navigator;
    navigator.setDataSource(&source);
    desktop.answers = {mrCancel, mrOk};
    navigator.click(B::Delete);
    EXPECT_EQ(table.recordCount(), 3);
    navigator.click(B::Delete);
    EXPECT_EQ(table.recordCount(), 2);
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(desktop.boxes[0].caption, QStringLiteral("Confirm"));
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("Delete record?"));
    EXPECT_EQ(desktop.boxes[0].buttons, MessageButton::Ok | MessageButton::Cancel);

    navigator.setConfirmDelete(false);
    navigator.click(B::Delete);
    EXPECT_EQ(table.recordCount(), 1);
    EXPECT_EQ(desktop.boxes.size(), 2u);
}

TEST_F(DataAwareTest, NavigatorShowsTheChosenButtonsWithTheirHints) {
    DBNavigator navigator;
    navigator.setVisibleButtons(B::First | B::Prior | B::Next | B::Last | B::Refresh);
    navigator.setHints({"Primul", "Anterior", "Urmator", "Ultimul", "Adaugare", "Stergere",
                        "Editare", "Salvare", "Anulare", "Refresh"});
    EXPECT_TRUE(navigator.button(B::Insert)->isHidden());
    EXPECT_FALSE(navigator.button(B::Refresh)->isHidden());
    EXPECT_EQ(navigator.button(B::Post)->toolTip(), QStringLiteral("Salvare"));
    std::vector<B> clicked;
    navigator.onClick = [&](B b) { clicked.push_back(b); };
    navigator.click(B::Next); // closed source: only the click event
    EXPECT_EQ(clicked, std::vector<B>{B::Next});
}

TEST_F(DataAwareTest, GridLinkTurnsNotificationsIntoSignals) {
    GridDataLink link;
    QStringList heard;
    QObject::connect(&link, &GridDataLink::activeChanged, [&] { heard << "active"; });
    QObject::connect(&link, &GridDataLink::dataSetChanged, [&] { heard << "dataset"; });
    QObject::connect(&link, &GridDataLink::recordChanged, [&](db::Field* f) {
        heard << (f ? "record:" + f->fieldName() : QStringLiteral("record"));
    });
    QObject::connect(&link, &GridDataLink::scrolled, [&] { heard << "scrolled"; });
    QObject::connect(&link, &GridDataLink::stateChanged, [&] { heard << "state"; });
    QObject::connect(&link, &GridDataLink::updateData, [&] { heard << "update"; });
    link.setDataSource(&source); // attaching tells nothing: the model reads the dataset then
    table.next();
    table.edit();
    table.fieldByName(QStringLiteral("Denumire"))->setAsString(QStringLiteral("Beta2"));
    table.post();
    table.close();
    EXPECT_EQ(heard.join(' '), QStringLiteral("scrolled state record record:Denumire update state "
                                              "dataset active"));
}

} // namespace
