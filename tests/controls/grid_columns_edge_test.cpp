// How a grid's columns are stored in a layout file: each assigned property under its stored name
// and in its stored form (colours as 0x00BBGGRR, alignments and button styles as identifiers,
// font styles as a set), and nothing for a property left at its default.
#include "controls/db_grid_columns.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

struct Stored {
    const char* name;
    std::function<void(TColumn&)> assign;
    const char* property;
    std::optional<ui::StoredValue> expected; // none: not stored
};
void PrintTo(const Stored& s, std::ostream* os) {
    *os << s.name;
}

class ColumnStoring : public ::testing::TestWithParam<Stored> {};

TEST_P(ColumnStoring, WritesTheAssignedPropertyInItsStoredForm) {
    const Stored& s = GetParam();
    TDBGridColumns columns;
    TColumn* column = columns.add(QStringLiteral("Cod"), QString(), 64);
    s.assign(*column);
    ui::StoredProperties out;
    columns.storeAs(QStringLiteral("Columns"), out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].name, QStringLiteral("Columns"));
    const auto& items = std::get<ui::CollectionValue>(out[0].value.value).items;
    ASSERT_EQ(items.size(), 1u);
    std::optional<ui::StoredValue> found;
    for (const ui::StoredProperty& p : items[0])
        if (p.name == QLatin1String(s.property))
            found = p.value;
    EXPECT_EQ(found.has_value(), s.expected.has_value());
    if (found && s.expected) {
        EXPECT_TRUE(*found == *s.expected) << s.property;
    }
}

using ui::Ident;
using ui::SetValue;

INSTANTIATE_TEST_SUITE_P(
    Grid, ColumnStoring,
    ::testing::Values(
        Stored{"FieldNameAlways", [](TColumn&) {}, "FieldName", ui::StoredValue("Cod")},
        Stored{"WidthAlways", [](TColumn&) {}, "Width", ui::StoredValue(64)},
        Stored{"ColorRedInTheLowByte", [](TColumn& c) { c.setColor(QColor(255, 0, 0)); }, "Color",
               ui::StoredValue(qint64(0x0000FF))},
        Stored{"ColorBlueInTheHighByte", [](TColumn& c) { c.setColor(QColor(0, 0, 255)); }, "Color",
               ui::StoredValue(qint64(0xFF0000))},
        Stored{"ColorOfThreeParts", [](TColumn& c) { c.setColor(QColor(0x12, 0x34, 0x56)); }, "Color",
               ui::StoredValue(qint64(0x563412))},
        Stored{"NoColorNotStored", [](TColumn&) {}, "Color", std::nullopt},
        Stored{"AlignedRight", [](TColumn& c) { c.setAlignment(Qt::AlignRight); }, "Alignment",
               ui::StoredValue(Ident{"taRightJustify"})},
        Stored{"Centred", [](TColumn& c) { c.setAlignment(Qt::AlignHCenter); }, "Alignment",
               ui::StoredValue(Ident{"taCenter"})},
        Stored{"AlignedLeft", [](TColumn& c) { c.setAlignment(Qt::AlignLeft); }, "Alignment",
               ui::StoredValue(Ident{"taLeftJustify"})},
        Stored{"ButtonNone", [](TColumn& c) { c.setButtonStyle(TColumnButtonStyle::cbsNone); }, "ButtonStyle",
               ui::StoredValue(Ident{"cbsNone"})},
        Stored{"ButtonEllipsis", [](TColumn& c) { c.setButtonStyle(TColumnButtonStyle::cbsEllipsis); },
               "ButtonStyle", ui::StoredValue(Ident{"cbsEllipsis"})},
        Stored{"ButtonAutomaticNotStored", [](TColumn& c) { c.setButtonStyle(TColumnButtonStyle::cbsAuto); },
               "ButtonStyle", std::nullopt},
        Stored{"NotExpanded", [](TColumn& c) { c.setExpanded(false); }, "Expanded", ui::StoredValue(false)},
        Stored{"ExpandedNotStored", [](TColumn& c) { c.setExpanded(true); }, "Expanded", std::nullopt},
        Stored{"Hidden", [](TColumn& c) { c.setVisible(false); }, "Visible", ui::StoredValue(false)},
        Stored{"ReadOnly", [](TColumn& c) { c.setReadOnly(true); }, "ReadOnly", ui::StoredValue(true)},
        Stored{"PickList", [](TColumn& c) { c.setPickList({"buc", "kg"}); }, "PickList.Strings",
               ui::StoredValue(ui::ListValue{{ui::StoredValue("buc"), ui::StoredValue("kg")}})},
        Stored{"EmptyPickListNotStored", [](TColumn& c) { c.setPickList({}); }, "PickList.Strings", std::nullopt},
        Stored{"BoldItalicFont",
               [](TColumn& c) {
                   QFont f(QStringLiteral("Arial"), 9);
                   f.setBold(true);
                   f.setItalic(true);
                   c.setFont(f);
               },
               "Font.Style", ui::StoredValue(SetValue{{"fsBold", "fsItalic"}})},
        Stored{"UnderlinedStruckFont",
               [](TColumn& c) {
                   QFont f(QStringLiteral("Arial"), 9);
                   f.setUnderline(true);
                   f.setStrikeOut(true);
                   c.setFont(f);
               },
               "Font.Style", ui::StoredValue(SetValue{{"fsUnderline", "fsStrikeOut"}})},
        Stored{"FontSize", [](TColumn& c) { c.setFont(QFont(QStringLiteral("Arial"), 11)); }, "Font.Size",
               ui::StoredValue(11)},
        Stored{"FontColourAlone", [](TColumn& c) { c.setFontColor(QColor(0, 128, 0)); }, "Font.Color",
               ui::StoredValue(qint64(0x008000))},
        Stored{"TitleCaption", [](TColumn& c) { c.title().setCaption(QStringLiteral("Cod articol")); },
               "Title.Caption", ui::StoredValue("Cod articol")},
        Stored{"TitleCentred", [](TColumn& c) { c.title().setAlignment(Qt::AlignHCenter); }, "Title.Alignment",
               ui::StoredValue(Ident{"taCenter"})},
        Stored{"TitleColour", [](TColumn& c) { c.title().setColor(QColor(1, 2, 3)); }, "Title.Color",
               ui::StoredValue(qint64(0x030201))},
        Stored{"TitleBoldFont",
               [](TColumn& c) {
                   QFont f(QStringLiteral("Arial"), 8);
                   f.setBold(true);
                   c.title().setFont(f);
               },
               "Title.Font.Style", ui::StoredValue(SetValue{{"fsBold"}})},
        Stored{"NoTitleNotStored", [](TColumn&) {}, "Title.Caption", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GridColumns, TheFirstAddedColumnReplacesTheDefaultOnesAndRemovalsAreHeard) {
    TDBGridColumns columns;
    int structureChanges = 0;
    columns.onChanged = [&](bool structure) { structureChanges += structure ? 1 : 0; };
    EXPECT_EQ(columns.state(), TDBGridColumns::State::Default);
    columns.add(QStringLiteral("A"));
    columns.add(QStringLiteral("B"));
    EXPECT_EQ(columns.state(), TDBGridColumns::State::Customized);
    EXPECT_EQ(structureChanges, 2) << "one change per added column, not one per property";
    columns.remove(0);
    ASSERT_EQ(columns.count(), 1);
    EXPECT_EQ(columns[0]->fieldName(), QStringLiteral("B"));
    columns.clear();
    EXPECT_EQ(columns.count(), 0);
    EXPECT_EQ(columns.state(), TDBGridColumns::State::Customized)
        << "cleared columns stay customised";
    EXPECT_EQ(structureChanges, 4);
}

} // namespace
