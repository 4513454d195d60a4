#include "controls/column.h"

#include "controls/db_grid_columns.h"
#include "platform/db/field.h"

#include <QFontMetrics>

QString TColumnTitle::caption() const {
    if (m_caption)
        return *m_caption;
    if (const db::Field* field = m_column.field())
        return field->displayLabel();
    return m_column.fieldName();
}

void TColumnTitle::setCaption(const QString& caption) {
    m_caption = caption;
    m_column.changed();
}

void TColumnTitle::setAlignment(Qt::Alignment alignment) {
    m_alignment = alignment;
    m_column.changed();
}

void TColumnTitle::setColor(const QColor& color) {
    m_color = color;
    m_column.changed();
}

void TColumnTitle::setFont(const QFont& font) {
    m_font = font;
    m_column.changed();
}

TColumn::TColumn(TDBGridColumns& collection) : m_collection(collection) {}

int TColumn::index() const {
    for (int i = 0; i < m_collection.count(); ++i)
        if (m_collection.items(i) == this)
            return i;
    return -1;
}

void TColumn::setFieldName(const QString& name) {
    m_fieldName = name;
    changed(true);
}

int TColumn::width() const {
    return m_width ? *m_width : defaultWidth();
}

int TColumn::defaultWidth() const {
    if (!m_field)
        return 64;
    const QFontMetrics metrics = m_collection.metrics();
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    return qMax(m_field->displayWidth() * digit + 4,
                metrics.horizontalAdvance(m_title.caption()) + 4);
}

void TColumn::setWidth(int width) {
    m_width = width;
    changed();
}

void TColumn::setVisible(bool visible) {
    m_visible = visible;
    changed();
}

void TColumn::setButtonStyle(TColumnButtonStyle style) {
    m_buttonStyle = style;
    changed();
}

void TColumn::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    changed();
}

void TColumn::setColor(const QColor& color) {
    m_color = color;
    changed();
}

Qt::Alignment TColumn::alignment() const {
    if (m_alignment)
        return *m_alignment;
    if (m_field && (m_field->dataType() == db::FieldType::Float ||
                    m_field->dataType() == db::FieldType::Integer))
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

void TColumn::setAlignment(Qt::Alignment alignment) {
    m_alignment = alignment;
    changed();
}

void TColumn::setFont(const QFont& font) {
    m_font = font;
    changed();
}

void TColumn::setFontColor(const QColor& color) {
    m_fontColor = color;
    changed();
}

void TColumn::changed(bool structure) {
    m_collection.changed(structure);
}
