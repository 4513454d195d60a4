#pragma once
// A field of a dataset: a typed value of the dataset's current record. Data fields are stored;
// lookup fields take a value from another dataset; calculated fields are set by the dataset's
// calculate-fields handler. Values are written only in edit or insert state (calculated
// fields also while they are computed); every write is converted and checked first, then the
// validate handler may refuse it, and a refused write leaves the previous value.
#include "platform/db/field_type.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <functional>

namespace db {

class DataSet;

class Field {
public:
    using Handler = std::function<void(Field&)>;

    Field(DataSet& dataSet, QString name, FieldType type, int size, FieldKind kind);

    DataSet& dataSet() const { return m_dataSet; }
    const QString& fieldName() const { return m_name; }
    FieldType dataType() const { return m_type; }
    int size() const { return m_size; }
    FieldKind kind() const { return m_kind; }
    bool isData() const { return m_kind == FieldKind::Data; }
    int index() const { return m_index; }

    // Presentation: the grid column's title and width in characters, visibility.
    QString displayLabel() const { return m_label.isEmpty() ? m_name : m_label; }
    void setDisplayLabel(const QString& label) { m_label = label; }
    int displayWidth() const;
    void setDisplayWidth(int width) { m_displayWidth = width; }
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isRequired() const { return m_required; }
    void setRequired(bool required) { m_required = required; }

    // Lookup definition: this field shows resultField of the record of lookupDataSet whose
    // lookupKeyFields equal this dataset's keyFields (field lists separated by ';').
    void setLookup(DataSet* lookupDataSet, const QString& keyFields, const QString& lookupKeyFields,
                   const QString& resultField);
    DataSet* lookupDataSet() const { return m_lookupDataSet; }
    const QString& keyFields() const { return m_keyFields; }
    const QString& lookupKeyFields() const { return m_lookupKeyFields; }
    const QString& lookupResultField() const { return m_lookupResultField; }

    // The value (a null QVariant when empty) and typed views of it.
    QVariant value() const;
    bool isNull() const;
    QString asString() const; // empty for null; floats in the general format
    double asFloat() const;   // 0 for null
    int asInteger() const;
    QDate asDate() const;   // invalid for null
    bool asBoolean() const; // false for null
    QString displayText() const { return asString(); }

    void setValue(const QVariant& value);
    void setAsString(const QString& text); // converts text to the field's type
    void setAsFloat(double value) { setValue(value); }
    void setAsInteger(int value) { setValue(value); }
    void setAsDate(const QDate& value) { setValue(value); }
    void setAsBoolean(bool value) { setValue(value); }
    void clear() { setValue(QVariant()); }

    // Converts a value to this field's type and checks it (width, code page): throws
    // ConversionError. An empty text becomes null.
    QVariant convert(const QVariant& value) const;

    Handler onValidate; // sees the new value through value(); throwing refuses it
    Handler onChange;   // after a value was stored

private:
    friend class DataSet;
    DataSet& m_dataSet;
    QString m_name;
    FieldType m_type;
    int m_size;
    FieldKind m_kind;
    int m_index = -1;
    QString m_label;
    int m_displayWidth = 0;
    bool m_visible = true;
    bool m_readOnly = false;
    bool m_required = false;
    DataSet* m_lookupDataSet = nullptr;
    QString m_keyFields, m_lookupKeyFields, m_lookupResultField;
    const QVariant* m_validating = nullptr; // the new value while onValidate runs
};

} // namespace db
