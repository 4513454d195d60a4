// The date edit and the calendar popup: parsing on leaving, the calendar through Ctrl+Enter and
// its keys, the module-wide date format, and the sizes of the edit and its button.
#include "grid_fixture.h"

#include "controls/br_date_form.h"
#include "controls/date_edit.h"
#include "controls/date_edit_btn.h"
#include "platform/base/date_text.h"
#include "platform/base/errors.h"
#include "platform/base/format_settings.h"
#include "platform/ui/button.h"
#include "platform/ui/label.h"
#include "platform/ui/month_calendar.h"
#include "tests/platform/base/scoped_format.h"
#include "tests/support/readable_name.h"

#include <QClipboard>
#include <QPointer>
#include <QTimer>

#include <functional>

using namespace controlstest;

namespace {

class DateEditTest : public testsupport::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        form.resize(300, 120);
        edit = new TDateEdit(&form);
        edit->setGeometry(10, 10, 120, 24);
        other->setGeometry(10, 60, 100, 24);
        edit->setValue(QDate(2024, 3, 15));
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        edit->setFocus();
        settle();
    }

    static void settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    // Types into the edit with its whole text selected.
    void retype(const QString& digits) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, digits);
        settle();
    }

    void leave() {
        QTest::keyClick(edit, Qt::Key_Tab);
        settle();
    }

    // Runs act once the calendar popup is showing and active, while the caller waits in its
    // modal loop. A popup still open a while later is closed, so that a failure cannot hang.
    static void whenCalendarShows(std::function<void(TBrDateForm&)> act) {
        QTimer::singleShot(0, [act] {
            QPointer<TBrDateForm> calendar =
                dynamic_cast<TBrDateForm*>(QApplication::activeModalWidget());
            ASSERT_FALSE(calendar.isNull());
            QTimer::singleShot(5000, calendar, [calendar] {
                ADD_FAILURE() << "the calendar stayed open";
                calendar->setModalResult(ui::mrAbort);
            });
            EXPECT_TRUE(QTest::qWaitForWindowActive(calendar));
            act(*calendar);
        });
    }

    // A real key press on the control of the calendar that has the focus.
    static void key(TBrDateForm& calendar, Qt::Key key) {
        QWidget* target = calendar.focusWidget();
        QTest::keyClick(target ? target : &calendar, key);
    }

    testsupport::ScopedFormat format{"DD/MM/YYYY", '.', ','};
    ui::Form form;
    TDateEdit* edit = nullptr;
    ui::Edit* other = new ui::Edit(&form);
};

struct TypedCase {
    const char* name;
    const char* digits;
    bool beeps;
    const char* text; // shown after leaving
    QDate value;
};

void PrintTo(const TypedCase& c, std::ostream* os) {
    *os << c.name;
}

class TypedDate : public DateEditTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedDate, IsTakenOrRefusedOnLeaving) {
    const TypedCase& c = GetParam();
    retype(QString::fromUtf8(c.digits));
    leave();
    EXPECT_EQ(desktop.beeps, c.beeps ? 1 : 0);
    EXPECT_EQ(edit->displayText(), QString::fromUtf8(c.text));
    EXPECT_EQ(edit->hasFocus(), c.beeps) << "a refused text keeps the focus in the edit";
    EXPECT_TRUE(desktop.boxes.empty()) << "no message box for a text that is not a date";
    EXPECT_EQ(edit->value(), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, TypedDate,
    ::testing::Values(
        TypedCase{"day_and_month_only", "1205", true, "15.03.2024", QDate(2024, 3, 15)},
        TypedCase{"april_31", "31042024", true, "15.03.2024", QDate(2024, 3, 15)},
        TypedCase{"february_29_common_year", "29022023", true, "15.03.2024", QDate(2024, 3, 15)},
        TypedCase{"a_good_date", "29022024", false, "29.02.2024", QDate(2024, 2, 29)},
        // A separator after one digit of the day or the month takes the digit as the number.
        TypedCase{"one_digit_month", "15.3.2025", false, "15.03.2025", QDate(2025, 3, 15)},
        TypedCase{"one_digit_day_and_month", "5.3.2025", false, "05.03.2025", QDate(2025, 3, 5)},
        TypedCase{"slash_after_one_digit", "5/3/2025", false, "05.03.2025", QDate(2025, 3, 5)},
        TypedCase{"two_digits_then_separators", "15.03.2025", false, "15.03.2025",
                  QDate(2025, 3, 15)},
        TypedCase{"one_digit_day_two_digit_month", "1.12.2025", false, "01.12.2025",
                  QDate(2025, 12, 1)}),
    testsupport::ReadableName());

TEST_F(DateEditTest, APartYearIsTakenThenRefusedByTheMask) {
    retype(QStringLiteral("200320"));
    leave();
    EXPECT_EQ(edit->date(), QDate(2020, 3, 20)) << "the parse came first and took a two-digit year";
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text,
              QStringLiteral("Invalid input value.  Use escape key to abandon changes"));
    EXPECT_TRUE(edit->hasFocus());
}

TEST_F(DateEditTest, ConfirmingTheCalendarUnchangedGivesTheEditsDate) {
    whenCalendarShows([](TBrDateForm& calendar) {
        EXPECT_EQ(calendar.caption(), QStringLiteral("Selecteaza data"));
        EXPECT_EQ(calendar.Calendar1->date(), QDate(2024, 3, 15));
        EXPECT_TRUE(calendar.TitleLabel->caption().endsWith(QStringLiteral(", 2024")));
        key(calendar, Qt::Key_Return);
    });
    QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    settle();
    EXPECT_EQ(edit->displayText(), QStringLiteral("15.03.2024"));
    EXPECT_EQ(edit->value(), QDate(2024, 3, 15));

    // A typed date not yet taken is what the calendar opens on.
    retype(QStringLiteral("20032024"));
    whenCalendarShows([](TBrDateForm& calendar) {
        EXPECT_EQ(calendar.Calendar1->date(), QDate(2024, 3, 20));
        calendar.BitBtn1->click();
    });
    QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    settle();
    EXPECT_EQ(edit->date(), QDate(2024, 3, 20));
    EXPECT_EQ(desktop.beeps, 0);
}

TEST_F(DateEditTest, CancellingTheCalendarLeavesAnInvalidTextAsItWas) {
    retype(QStringLiteral("3104"));
    whenCalendarShows([](TBrDateForm& calendar) {
        EXPECT_EQ(calendar.Calendar1->date(), QDate(2024, 3, 15)) << "the last valid date";
        key(calendar, Qt::Key_PageDown);
        key(calendar, Qt::Key_Escape);
    });
    QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    settle();
    EXPECT_EQ(edit->displayText(), QStringLiteral("31.04.____"));
    EXPECT_EQ(edit->date(), QDate(2024, 3, 15));
    EXPECT_EQ(desktop.beeps, 0) << "opening the calendar over a bad text is silent";
}

TEST_F(DateEditTest, TheButtonOpensTheCalendarAndTheChoiceIsTaken) {
    other->setFocus();
    settle();
    QWidget* focusedByPress = nullptr;
    whenCalendarShows([&](TBrDateForm& calendar) {
        focusedByPress = form.focusWidget();
        calendar.NextMonthBtn->click();
        calendar.Calendar1->onActivate(); // as a double click on the day does
    });
    QTest::mouseClick(edit->button()->button(), Qt::LeftButton);
    settle();

    EXPECT_EQ(edit->date(), QDate(2024, 4, 15));
    EXPECT_EQ(edit->displayText(), QStringLiteral("15.04.2024"));
    EXPECT_EQ(focusedByPress, edit) << "the press on the button put the focus into the edit";
}

struct MonthCase {
    QDate from;
    Qt::Key key;
    QDate to;
};

void PrintTo(const MonthCase& c, std::ostream* os) {
    *os << c.from.toString(Qt::ISODate).toStdString() << " -> "
        << c.to.toString(Qt::ISODate).toStdString();
}

class MonthKeys : public DateEditTest, public ::testing::WithParamInterface<MonthCase> {};

TEST_P(MonthKeys, KeepTheDayOrTakeTheLastOfTheMonth) {
    const MonthCase& c = GetParam();
    QDate date = c.from;
    QString title;
    whenCalendarShows([&](TBrDateForm& calendar) {
        key(calendar, c.key);
        title = calendar.TitleLabel->caption();
        key(calendar, Qt::Key_Return);
    });
    EXPECT_TRUE(PickDate(edit, date));
    EXPECT_EQ(date, c.to);
    EXPECT_EQ(title, QStringLiteral("%1, %2")
                         .arg(base::formatSettings().longMonthNames.value(c.to.month() - 1))
                         .arg(c.to.year()));
}

INSTANTIATE_TEST_SUITE_P(
    Dates, MonthKeys,
    ::testing::Values(MonthCase{QDate(2024, 1, 31), Qt::Key_PageDown, QDate(2024, 2, 29)},
                      MonthCase{QDate(2023, 1, 31), Qt::Key_PageDown, QDate(2023, 2, 28)},
                      MonthCase{QDate(2023, 3, 31), Qt::Key_PageUp, QDate(2023, 2, 28)},
                      MonthCase{QDate(2024, 12, 15), Qt::Key_PageDown, QDate(2025, 1, 15)}),
    testsupport::ReadableName());

TEST_F(DateEditTest, PickDateCancelledLeavesTheDate) {
    QDate date(2022, 6, 1);
    whenCalendarShows([](TBrDateForm& calendar) { calendar.BitBtn2->click(); });
    EXPECT_FALSE(PickDate(edit, date));
    EXPECT_EQ(date, QDate(2022, 6, 1));
}

TEST_F(DateEditTest, ReadingABadValueOnceTheWindowClosedIsAnError) {
    retype(QStringLiteral("3104"));
    form.hide();
    try {
        edit->value();
        FAIL() << "a date was read";
    } catch (const base::Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot focus a disabled or invisible window"));
    }
    EXPECT_EQ(desktop.beeps, 1);
    EXPECT_EQ(edit->displayText(), QStringLiteral("15.03.2024"));
}

TEST_F(DateEditTest, CutAndPasteAreRefusedWhenTheEditorIsDisabled) {
    edit->setEditorEnabled(false);
    QApplication::clipboard()->setText(QStringLiteral("01012000"));
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->displayText(), QStringLiteral("15.03.2024"));
    edit->setEditorEnabled(true);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_NE(edit->displayText(), QStringLiteral("15.03.2024"));
}

TEST_F(DateEditTest, TheEditKeepsItsHeightAndPlacesItsButton) {
    EXPECT_GE(edit->minimumHeight(), edit->fontMetrics().height() + 6);
    edit->resize(120, 2);
    EXPECT_EQ(edit->height(), edit->minimumHeightForFont()) << "never lower than its font needs";
    edit->resize(120, 30);
    EXPECT_EQ(edit->button()->geometry(), QRect(120 - 24 - 5, 0, 24, 25));
    edit->setCtl3D(false);
    EXPECT_EQ(edit->button()->geometry(), QRect(120 - 24, 0, 24, 30));
    edit->button()->setGeometry(0, 0, 5, 5);
    EXPECT_EQ(edit->button()->size(), QSize(18, 18));
    EXPECT_EQ(edit->button()->button()->size(), QSize(18, 18));
}

TEST_F(DateEditTest, SpaceOnTheFocusedButtonClicksIt) {
    int clicks = 0;
    edit->button()->onClick = [&] { ++clicks; };
    edit->button()->setFocus();
    QTest::keyClick(edit->button(), Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
}

// The grid part of the module-wide format: a date field shown in a grid follows the switch.
class DateFormatSwitch : public GridTest {};

TEST_F(DateFormatSwitch, CreatingADateEditChangesHowAGridShowsDates) {
    testsupport::ScopedFormat monthFirst("MM/DD/YYYY", '/', ',');
    database->createTable({QStringLiteral("Doc.DB"),
                           {{QStringLiteral("Nr"), db::FieldType::Text, 10},
                            {QStringLiteral("Data"), db::FieldType::Date}},
                           {{QString(), {QStringLiteral("Nr")}, true, true}}});
    db::Table docs;
    docs.setSession(&session);
    docs.setDatabaseName(QStringLiteral("TESTDB"));
    docs.setTableName(QStringLiteral("Doc.DB"));
    docs.open();
    docs.append();
    docs.fieldByName(QStringLiteral("Nr"))->setAsString(QStringLiteral("1"));
    docs.fieldByName(QStringLiteral("Data"))->setAsDate(QDate(2024, 3, 15));
    docs.post();
    db::DataSource docSource(&docs);
    TDBGridNormal docGrid(&form);
    docGrid.setDataSource(&docSource);
    ASSERT_EQ(docGrid.cellText(0, 1), QStringLiteral("03/15/2024"));
    TDateEdit dateEdit(&form);
    EXPECT_EQ(base::formatSettings().shortDateFormat, QStringLiteral("DD/MM/YYYY"));
    EXPECT_EQ(docGrid.cellText(0, 1), QStringLiteral("15/03/2024"))
        << "the regional separator stays";
    EXPECT_EQ(dateEdit.displayText(), base::dateToText(QDate::currentDate()));
}

} // namespace

// A fresh machine runs under the C locale: the calendar then names the days as the Romanian date
// formats the program falls back to, not in English.
TEST(MonthCalendarLocale, TheCLocaleGivesRomanianDayNames) {
    const QLocale saved;
    QLocale::setDefault(QLocale::c());
    ui::MonthCalendar calendar;
    QLocale::setDefault(saved);
    EXPECT_EQ(calendar.locale().language(), QLocale::Romanian);
    EXPECT_EQ(calendar.locale().dayName(1, QLocale::LongFormat), QStringLiteral("luni"));
}
