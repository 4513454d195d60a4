// Controls: edit masks, the masked edit's checks, maximum length, drop-down lists, the month
// calendar, labels and speed buttons.
#include "recording_desktop.h"

#include "platform/base/format_settings.h"
#include "platform/ui/caption.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/form.h"
#include "platform/ui/label.h"
#include "platform/ui/mask_edit.h"
#include "platform/ui/month_calendar.h"
#include "platform/ui/speed_button.h"
#include "tests/support/readable_name.h"

#include <QPixmap>
#include <QTest>

using namespace ui;

namespace {

struct MaskCase {
    const char* editMask;
    const char* qtMask;
};

void PrintTo(const MaskCase& c, std::ostream* os) {
    *os << c.editMask;
}

class EditMaskMapping : public ::testing::TestWithParam<MaskCase> {};

TEST_P(EditMaskMapping, GivesTheQtInputMask) {
    EXPECT_EQ(
        qtInputMask(QString::fromUtf8(GetParam().editMask), QLatin1Char('.'), QLatin1Char(':')),
        QString::fromUtf8(GetParam().qtMask));
}

INSTANTIATE_TEST_SUITE_P(Controls, EditMaskMapping,
                         ::testing::Values(MaskCase{"!00/00/0000", "99.99.9999;_"},
                                           MaskCase{"!99/99/0000;1;_", "00.00.9999;_"},
                                           MaskCase{"00:00", "99:99;_"},
                                           MaskCase{">LL<ll", ">AA<aa;_"},
                                           MaskCase{"<>CcAa", "!XxNn;_"},
                                           MaskCase{"\\A\\;#9;0;*", "\\A\\;#0;*"},
                                           MaskCase{"RO_000", "RO 999;_"}, MaskCase{"", ""}),
                         testsupport::ReadableName());

class ControlsTest : public testsupport::UiTest {
protected:
    // Shows the form active so that focus changes happen as they would for a person.
    void activate(Form& form) {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
};

TEST_F(ControlsTest, MaskedEditRefusesToLeaveWithBlankRequiredPlaces) {
    const base::FormatSettings saved = base::formatSettings();
    base::FormatSettings dotted = saved;
    dotted.dateSeparator = QLatin1Char('.');
    base::setFormatSettings(dotted);
    struct Restore {
        base::FormatSettings settings;
        ~Restore() { base::setFormatSettings(settings); }
    } restore{saved};
    Form form;
    auto* date = new MaskEdit(&form);
    date->setEditMask(QStringLiteral("!00/00/0000"));
    auto* other = new Edit(&form);
    other->move(0, 40);
    int exits = 0;
    date->onExit = [&] { ++exits; };
    activate(form);
    date->setFocus();
    QTest::keyClicks(date, QStringLiteral("3112"));
    EXPECT_EQ(date->maskedText(), QStringLiteral("31.12.____"));

    other->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text,
              QStringLiteral("Invalid input value.  Use escape key to abandon changes"));
    EXPECT_EQ(desktop.beeps, 1);
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(date->hasFocus());

    QTest::keyClick(date, Qt::Key_Escape); // abandons the changes
    EXPECT_EQ(date->maskedText(), QStringLiteral("__.__.____"));
    QTest::keyClicks(date, QStringLiteral("01022024"));
    other->setFocus();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(date->text(), QStringLiteral("01.02.2024"));
    EXPECT_EQ(desktop.boxes.size(), 1u);
}

TEST_F(ControlsTest, EditKeepsToItsMaximumLength) {
    Edit edit;
    edit.setMaxLength(1);
    QTest::keyClicks(&edit, QStringLiteral("_.;"));
    EXPECT_EQ(edit.text(), QStringLiteral("_"));
    edit.setMaxLength(0); // no limit
    edit.setText(QString(100, QLatin1Char('x')));
    EXPECT_EQ(edit.text().size(), 100);
}

TEST_F(ControlsTest, DropDownListReportsOnlyThePersonsChoice) {
    ComboBox order;
    order.addItems({QStringLiteral("Grupa;Cod"), QStringLiteral("Grupa;Denumire")});
    QStringList chosen;
    order.onChange = [&] { chosen << order.text(); };
    order.setItemIndex(0); // preselected without applying it
    EXPECT_TRUE(chosen.isEmpty());
    EXPECT_FALSE(order.isEditable());
    QTest::keyClick(&order, Qt::Key_Down);
    EXPECT_EQ(chosen, QStringList{QStringLiteral("Grupa;Denumire")});
    EXPECT_EQ(order.itemIndex(), 1);
}

TEST_F(ControlsTest, MonthCalendarWeeksStartOnMonday) {
    MonthCalendar calendar;
    EXPECT_EQ(calendar.firstDayOfWeek(), Qt::Monday);
    int changes = 0;
    calendar.onChange = [&] { ++changes; };
    calendar.setDate(QDate(2024, 2, 29));
    EXPECT_EQ(calendar.date(), QDate(2024, 2, 29));
    EXPECT_EQ(changes, 1);
}

TEST_F(ControlsTest, LabelShowsItsAcceleratorOnlyWithAFocusControl) {
    EXPECT_EQ(captionText(QStringLiteral("Or&dine de afisare:")),
              QStringLiteral("Ordine de afisare:"));
    EXPECT_EQ(captionText(QStringLiteral("A && B")), QStringLiteral("A & B"));
    Form form;
    Label label(QStringLiteral("&Cauta:"), &form);
    EXPECT_EQ(label.text(), QStringLiteral("Cauta:"));
    auto* search = new Edit(&form);
    label.setFocusControl(search);
    EXPECT_EQ(label.text(), QStringLiteral("&Cauta:"));
    EXPECT_EQ(label.buddy(), search);
}

TEST_F(ControlsTest, SpeedButtonTakesTheDisabledImageFromItsGlyph) {
    QPixmap glyph(32, 16);
    glyph.fill(Qt::blue);
    SpeedButton button;
    button.setGlyph(glyph, 2);
    EXPECT_EQ(button.iconSize(), QSize(16, 16));
    EXPECT_EQ(button.focusPolicy(), Qt::NoFocus);
    int clicks = 0;
    button.onClick = [&] { ++clicks; };
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

} // namespace
