#pragma once
// The pick list of the catalog's articles for a receipt line: group, code, name and unit, in
// code order, read a page at a time. Typing in the search line goes to the first code that
// begins with what was typed; Up and Down move in the list, Enter takes the article, Escape
// gives up.
#include "platform/db/data_source.h"
#include "platform/db/table.h"
#include "platform/ui/form.h"

class QLineEdit;

namespace host {

class RecordGrid;

class ArticlePicker : public ui::Form {
public:
    // Starts on the article given by group and code (or the nearest code).
    ArticlePicker(QWidget* owner, const QString& group, const QString& code);
    ~ArticlePicker() override;

    QLineEdit* searchEdit() const { return m_search; }
    RecordGrid* grid() const { return m_grid; }
    // The article the list stands on.
    QString group() const;
    QString code() const;

private:
    db::Table m_catalog{QStringLiteral("CatalogPick")};
    db::DataSource m_source{&m_catalog, QStringLiteral("CatalogPickSource")};
    QLineEdit* m_search;
    RecordGrid* m_grid;
};

// Shows the pick list modally; on a choice puts it into group and code and answers true.
bool pickArticle(QWidget* owner, QString& group, QString& code);

} // namespace host
