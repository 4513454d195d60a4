#include "controls/column.h"

#include "controls/db_grid_columns.h"
#include "platform/db/data_set.h"
#include "platform/db/field.h"

#include <QFontMetrics>

namespace {

// Colours are stored as the system stores them: 0x00BBGGRR.
qint64 storedColor(const QColor& color) {
    return qint64(color.red()) | (qint64(color.green()) << 8) | (qint64(color.blue()) << 16);
}

ui::Ident storedAlignment(Qt::Alignment alignment) {
    if (alignment & Qt::AlignRight)
        return ui::Ident{QStringLiteral("taRightJustify")};
    if (alignment & Qt::AlignHCenter)
        return ui::Ident{QStringLiteral("taCenter")};
    return ui::Ident{QStringLiteral("taLeftJustify")};
}

void storeFont(const QString& prefix, const QFont& font, const QColor& color,
               ui::StoredProperties& out) {
    if (color.isValid())
        out.push_back({prefix + QStringLiteral(".Color"), storedColor(color)});
    out.push_back({prefix + QStringLiteral(".Name"), font.family()});
    if (font.pointSize() > 0)
        out.push_back({prefix + QStringLiteral(".Size"), font.pointSize()});
    QStringList style;
    if (font.bold())
        style << QStringLiteral("fsBold");
    if (font.italic())
        style << QStringLiteral("fsItalic");
    if (font.underline())
        style << QStringLiteral("fsUnderline");
    if (font.strikeOut())
        style << QStringLiteral("fsStrikeOut");
    out.push_back({prefix + QStringLiteral(".Style"), ui::SetValue{style}});
}

} // namespace

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
    m_collection.columnChanged(structure);
}

void TColumn::bindField(db::DataSet* dataSet) {
    m_field = dataSet ? dataSet->findField(m_fieldName) : nullptr;
}

void TColumn::store(ui::StoredProperties& item) const {
    if (m_alignment)
        item.push_back({QStringLiteral("Alignment"), storedAlignment(*m_alignment)});
    if (m_buttonStyle != TColumnButtonStyle::cbsAuto)
        item.push_back(
            {QStringLiteral("ButtonStyle"), ui::Ident{m_buttonStyle == TColumnButtonStyle::cbsNone
                                                          ? QStringLiteral("cbsNone")
                                                          : QStringLiteral("cbsEllipsis")}});
    if (m_color.isValid())
        item.push_back({QStringLiteral("Color"), storedColor(m_color)});
    if (!m_expanded)
        item.push_back({QStringLiteral("Expanded"), false});
    item.push_back({QStringLiteral("FieldName"), m_fieldName});
    if (m_font || m_fontColor.isValid())
        storeFont(QStringLiteral("Font"), m_font.value_or(QFont()), m_fontColor, item);
    if (!m_pickList.isEmpty()) {
        ui::ListValue list;
        for (const QString& entry : m_pickList)
            list.values.push_back(entry);
        item.push_back({QStringLiteral("PickList.Strings"), list});
    }
    if (m_readOnly)
        item.push_back({QStringLiteral("ReadOnly"), true});
    m_title.store(item);
    if (!m_visible)
        item.push_back({QStringLiteral("Visible"), false});
    // The width the person sees, also when it came from the field.
    item.push_back({QStringLiteral("Width"), width()});
}

void TColumnTitle::store(ui::StoredProperties& item) const {
    if (m_alignment)
        item.push_back({QStringLiteral("Title.Alignment"), storedAlignment(*m_alignment)});
    if (m_caption)
        item.push_back({QStringLiteral("Title.Caption"), *m_caption});
    if (m_color.isValid())
        item.push_back({QStringLiteral("Title.Color"), storedColor(m_color)});
    if (m_font)
        storeFont(QStringLiteral("Title.Font"), *m_font, QColor(), item);
}
