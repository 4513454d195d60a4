#pragma once
// An edit box bound to one field of a data source's current record. It shows the field's text
// and follows the dataset; the first change the person types puts the dataset into edit mode
// (a dataset that cannot be edited refuses the change with a beep); the text is written into the
// field when the focus leaves the box, on Enter and before the record is posted. A value the
// field refuses has its error shown, the field's value comes back into the box and the focus
// stays there. Escape abandons the typed change.
#include "platform/ui/control_link.h"
#include "platform/ui/edit.h"

namespace db {
class DataSource;
class Field;
} // namespace db

namespace ui {

class DBEdit : public Edit {
public:
    explicit DBEdit(QWidget* parent = nullptr);

    db::DataSource* dataSource() const { return m_link.dataSource(); }
    void setDataSource(db::DataSource* source);
    QString fieldName() const { return m_fieldName; }
    void setFieldName(const QString& name);
    // The bound field while the data source's dataset is open, else null.
    db::Field* field() const;

    // Writes a typed change into the field; false when the field refused it.
    bool updateRecord();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void handleKey(QKeyEvent* event) override;

private:
    void dataEvent(db::DataEvent event, db::Field* field);
    void showField();
    void textEditedByPerson();

    ControlLink m_link;
    QString m_fieldName;
    bool m_modified = false;
};

} // namespace ui
