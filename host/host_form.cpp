#include "host/host_form.h"

#include "host/company_environment.h"
#include "platform/db/field.h"
#include "platform/db/table.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSplitter>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace host {

HostForm::HostForm(QWidget* mainWindow) : ui::Form(mainWindow) {
    onClose = [](ui::CloseAction& action) { action = ui::CloseAction::Free; };
}

void HostForm::placeTable(db::Table& table, const char* tableName) {
    table.setDatabaseName(QString::fromLatin1(kCompanyAlias));
    table.setTableName(QString::fromLatin1(tableName));
    table.setReadOnly(true);
}

namespace {

QWidget* titled(const QString& title, QWidget* content) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    auto* label = new QLabel(title, box);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    layout->addWidget(label);
    layout->addWidget(content, 1);
    return box;
}

} // namespace

db::Field* HostForm::addColumn(db::DataSet& dataSet, const char* name, db::FieldType type, int size,
                               const char* title, int width) {
    db::Field* field = dataSet.addField(QString::fromLatin1(name), type, size);
    if (!title) {
        field->setVisible(false);
        return field;
    }
    return showAs(field, title, width);
}

void HostForm::placeCatalog(db::Table& catalog) {
    placeTable(catalog, "CATALOG.DB");
    addColumn(catalog, "Grupa", db::FieldType::Text, 8, nullptr);
    addColumn(catalog, "Cod", db::FieldType::Text, 30, nullptr);
    addColumn(catalog, "Denumire", db::FieldType::Text, 255, nullptr);
}

void HostForm::addDocumentHeaderColumns(db::Table& documents, const char* partyField) {
    using db::FieldType;
    addColumn(documents, "Contor", FieldType::Float, 0, "Contor", 6);
    addColumn(documents, "Tip", FieldType::Text, 3, "Tip", 4);
    addColumn(documents, "Numar", FieldType::Float, 0, "Număr", 7);
    addColumn(documents, "Data", FieldType::Date, 0, "Data", 10);
    addColumn(documents, "Data_inregistrarii", FieldType::Date, 0, "Data înreg.", 10);
    addColumn(documents, partyField, FieldType::Text, 30, partyField, 24);
}

void HostForm::addDocumentLineColumns(db::Table& lines, db::DataSource& documents,
                                      db::Table& catalog) {
    using db::FieldType;
    lines.setIndexFieldNames(QStringLiteral("Contor"));
    lines.setMasterSource(&documents);
    lines.setMasterFields(QStringLiteral("Contor"));
    addColumn(lines, "Contor", FieldType::Float, 0, nullptr);
    addColumn(lines, "Contor_secundar", FieldType::Float, 0, "Nr.", 4);
    addColumn(lines, "Cod_gestiune", FieldType::Text, 4, "Gestiune", 6);
    addColumn(lines, "Cod_grupa", FieldType::Text, 8, "Grupa", 6);
    addColumn(lines, "Cod_articol", FieldType::Text, 30, "Cod articol", 16);
    showAs(lines.addLookupField(QStringLiteral("Denumire"), 255, &catalog,
                                QStringLiteral("Cod_grupa;Cod_articol"),
                                QStringLiteral("Grupa;Cod"), QStringLiteral("Denumire")),
           "Denumire", 30);
    addColumn(lines, "Lot", FieldType::Text, 30, "Lot", 9);
    addColumn(lines, "Cantitate", FieldType::Float, 0, "Cantitate", 9);
}

db::Field* HostForm::showAs(db::Field* field, const char* title, int width) {
    field->setDisplayLabel(QString::fromUtf8(title));
    if (width > 0)
        field->setDisplayWidth(width);
    return field;
}

void HostForm::layOutMasterDetail(const QString& upperTitle, QWidget* upper,
                                  const QString& lowerTitle, QWidget* lower, int upperShare) {
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(titled(upperTitle, upper));
    splitter->addWidget(titled(lowerTitle, lower));
    splitter->setStretchFactor(0, upperShare);
    splitter->setStretchFactor(1, 100 - upperShare);
    // Proportions: the splitter scales them to the height it gets.
    splitter->setSizes({upperShare * 100, (100 - upperShare) * 100});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(splitter);
}

void HostForm::layOutSingle(QWidget* grid, QLabel* footer) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(grid, 1);
    layout->addWidget(footer);
}

void HostForm::fitInto(int width, int height) {
    if (const QMdiSubWindow* frame = mdiFrame(); frame && frame->mdiArea()) {
        const QSize area = frame->mdiArea()->viewport()->size();
        // Room for the frame's title bar and borders, and for the host's windows to cascade one
        // title bar apart each, wholly in the area, with the ones behind in sight.
        const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
        width = std::min(width, area.width() - 24 - 2 * step);
        height = std::min(height, area.height() - 48 - 2 * step);
    }
    setClientSize(std::max(width, 320), std::max(height, 200));
}

} // namespace host
