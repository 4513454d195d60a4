#pragma once
// The output-documents window "Documente de iesire": the output documents (Doc_out.DB) above
// the lines of the current one (Item_out.DB). The consumption documents that the add-on writes
// (type "BMC") show here.
#include "host/host_form.h"
#include "platform/db/data_source.h"
#include "platform/db/table.h"

namespace host {

class RecordGrid;

class OutputDocumentsForm : public HostForm {
public:
    explicit OutputDocumentsForm(QWidget* mainWindow);
    ~OutputDocumentsForm() override;

    db::Table& documents() { return m_documents; }
    db::Table& lines() { return m_lines; }
    RecordGrid* documentsGrid() const { return m_documentsGrid; }
    RecordGrid* linesGrid() const { return m_linesGrid; }

    void refreshData() override;

private:
    db::Table m_catalog{QStringLiteral("CatalogTable")};
    db::Table m_documents{QStringLiteral("DocOutTable")};
    db::DataSource m_documentsSource{&m_documents, QStringLiteral("DocOutSource")};
    db::Table m_lines{QStringLiteral("ItemOutTable")};
    db::DataSource m_linesSource{&m_lines, QStringLiteral("ItemOutSource")};
    RecordGrid* m_documentsGrid;
    RecordGrid* m_linesGrid;
};

} // namespace host
