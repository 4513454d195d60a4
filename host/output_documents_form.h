#pragma once
// The output-documents window "Documente de iesire": the output documents (Doc_out.DB) above
// the lines of the current one (Item_out.DB). The consumption documents that the add-on writes
// (type "BMC") show here, and the selected one prints as a consumption voucher: "Tipărire…"
// (Ctrl+P) through the print dialog, "Salvare PDF…" into a PDF file. "Stornare…" reverses the
// selected consumption document, after asking, with today's date.
#include "host/host_form.h"
#include "platform/db/data_source.h"
#include "platform/db/table.h"

class QPushButton;

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

    QPushButton* printButton() const { return m_printButton; }
    QPushButton* pdfButton() const { return m_pdfButton; }
    QPushButton* reverseButton() const { return m_reverseButton; }
    // The selected document's voucher through the print dialog, or into a PDF file; a document
    // that is not a consumption document, or none selected, is told about.
    void printSelected();
    void saveSelectedPdf();
    // Reverses the selected consumption document after the user confirms; a refusal or a
    // database failure is told, and the window then shows the documents and stock as stored.
    void reverseSelected();

private:
    db::Table m_catalog{QStringLiteral("CatalogTable")};
    db::Table m_documents{QStringLiteral("DocOutTable")};
    db::DataSource m_documentsSource{&m_documents, QStringLiteral("DocOutSource")};
    db::Table m_lines{QStringLiteral("ItemOutTable")};
    db::DataSource m_linesSource{&m_lines, QStringLiteral("ItemOutSource")};
    RecordGrid* m_documentsGrid;
    RecordGrid* m_linesGrid;
    QPushButton* m_printButton;
    QPushButton* m_pdfButton;
    QPushButton* m_reverseButton;
};

} // namespace host
