#pragma once
// A data grid on a form over a real table ("Linii.DB": Cod, Denumire, Cant, with a calculated
// Dublu) in a temporary directory, driven with real key and mouse events.
#include "recording_desktop.h"

#include "controls/db_grid_inplace_edit.h"
#include "controls/db_grid_normal.h"
#include "platform/db/data_source.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/ui/edit.h"
#include "platform/ui/form.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QTest>

#include <memory>

namespace controlstest {

// The options of the editable grids of the requirement sheet and the recipe editor.
inline constexpr TDBGridOptions kEntryOptions = TDBGridOptions(
    dgEditing | dgAlwaysShowEditor | dgTitles | dgIndicator | dgColLines | dgRowLines | dgTabs);

class GridTest : public testsupport::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        session.addAlias(QStringLiteral("TESTDB"), dir.path());
        database = std::make_unique<db::Database>(QStringLiteral("TESTDB"), &session);
        database->createTable({QStringLiteral("Linii.DB"),
                               {{QStringLiteral("Cod"), db::FieldType::Text, 10},
                                {QStringLiteral("Denumire"), db::FieldType::Text, 20},
                                {QStringLiteral("Cant"), db::FieldType::Float}},
                               {{QString(), {QStringLiteral("Cod")}, true, true}}});
        table.setSession(&session);
        table.setDatabaseName(QStringLiteral("TESTDB"));
        table.setTableName(QStringLiteral("Linii.DB"));
        table.addCalculatedField(QStringLiteral("Dublu"), db::FieldType::Float);
        table.onCalcFields = [this](db::DataSet& d) {
            ++calculations;
            d.fieldByName(QStringLiteral("Dublu"))
                ->setAsFloat(d.fieldByName(QStringLiteral("Cant"))->asFloat() * 2);
        };
        source.setDataSet(&table);
        form.resize(520, 300);
        grid->setGeometry(0, 0, 500, 240);
        other->setGeometry(0, 260, 100, 24);
    }

    // Opens the table with count records A01, A02, ... ("Denumire 1", quantity i).
    void fill(int count) {
        table.open();
        for (int i = 1; i <= count; ++i) {
            table.append();
            table.fieldByName(QStringLiteral("Cod"))->setAsString(code(i));
            table.fieldByName(QStringLiteral("Denumire"))
                ->setAsString(QStringLiteral("Denumire %1").arg(i));
            table.fieldByName(QStringLiteral("Cant"))->setAsFloat(i);
            table.post();
        }
        table.first();
    }

    static QString code(int i) { return QStringLiteral("A%1").arg(i, 2, 10, QLatin1Char('0')); }

    // Shows the form with the grid on the table, its columns Cod, Denumire and Cant, and the focus
    // in the grid.
    void show(TDBGridOptions options = kEntryOptions, int records = 5) {
        fill(records);
        grid->setOptions(options);
        grid->columns().add(QStringLiteral("Cod"), QStringLiteral("Cod"), 80);
        grid->columns().add(QStringLiteral("Denumire"), QStringLiteral("Denumire"), 160);
        grid->columns().add(QStringLiteral("Cant"), QStringLiteral("Cantitate"), 80);
        grid->setDataSource(&source);
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        grid->setFocus();
        settle();
    }

    // Lets posted work (caret placement, repaints) happen.
    static void settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    // A real key press on whatever has the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, modifiers);
        settle();
    }
    void type(const QString& text) {
        QTest::keyClicks(QApplication::focusWidget(), text);
        settle();
    }

    QString field(const char* name) {
        return table.fieldByName(QString::fromUtf8(name))->asString();
    }
    QString cod() { return field("Cod"); }
    TDBGridInplaceEdit* editor() { return grid->inplaceEditor(); }
    // Records stored in the table, read through a table of its own.
    QStringList storedCodes() {
        db::Table reader;
        reader.setSession(&session);
        reader.setDatabaseName(QStringLiteral("TESTDB"));
        reader.setTableName(QStringLiteral("Linii.DB"));
        reader.open();
        QStringList codes;
        for (reader.first(); !reader.eof(); reader.next())
            codes << reader.fieldByName(QStringLiteral("Cod"))->asString();
        return codes;
    }

    testsupport::TempDir dir;
    db::Session session;
    std::unique_ptr<db::Database> database;
    db::Table table;
    db::DataSource source;
    int calculations = 0;
    ui::Form form;
    TDBGridNormal* grid = new TDBGridNormal(&form);
    ui::Edit* other = new ui::Edit(&form);
};

} // namespace controlstest
