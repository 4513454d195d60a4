#pragma once
// A window of the host: an MDI child of the main window that is freed when it closes and holds
// its own datasets over the company's tables (alias MAGNIS). refreshData reads them again, so
// that what the add-on wrote into the company shows.
#include "platform/ui/form.h"

#include "platform/db/field_type.h"

class QLabel;

namespace db {
class DataSet;
class DataSource;
class Field;
class Table;
} // namespace db

namespace host {

class HostForm : public ui::Form {
public:
    explicit HostForm(QWidget* mainWindow);

    virtual void refreshData() = 0;

protected:
    // A table of the company, read-only, in primary-key order unless told otherwise.
    static void placeTable(db::Table& table, const char* tableName);
    // Declares a data field and how the grids show it: its title and width in characters.
    // Without a title the field is read but not shown.
    static db::Field* addColumn(db::DataSet& dataSet, const char* name, db::FieldType type,
                                int size, const char* title, int width = 0);
    // The catalog, read for the article names that the grids look up (not shown itself).
    static void placeCatalog(db::Table& catalog);
    // The columns every document header shows: counter, type, number, dates and the partner
    // (supplier or customer) named by partyField.
    static void addDocumentHeaderColumns(db::Table& documents, const char* partyField);
    // Lines of the current document (master-detail on "Contor"): line number, warehouse,
    // group, article with its name from the catalog, lot and quantity; prices come after.
    static void addDocumentLineColumns(db::Table& lines, db::DataSource& documents,
                                       db::Table& catalog);
    // Gives a lookup or calculated field its title and width.
    static db::Field* showAs(db::Field* field, const char* title, int width);
    // Lays the form out as a titled grid above another titled grid, the first taking
    // `upperShare` of the height.
    void layOutMasterDetail(const QString& upperTitle, QWidget* upper, const QString& lowerTitle,
                            QWidget* lower, int upperShare = 45);
    // Lays the form out as one grid with a line of text below it.
    void layOutSingle(QWidget* grid, QLabel* footer);
    // Sizes the window to the given size, cut to what the MDI area shows.
    void fitInto(int width, int height);
};

} // namespace host
