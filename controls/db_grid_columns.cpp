#include "controls/db_grid_columns.h"

#include "platform/db/data_set.h"

#include <QFontMetrics>
#include <QGuiApplication>

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

TColumn* TDBGridColumns::add() {
    if (m_state == State::Default) {
        m_items.clear();
        m_state = State::Customized;
    }
    m_items.push_back(std::make_unique<TColumn>(*this));
    changed(true);
    return m_items.back().get();
}

TColumn* TDBGridColumns::add(const QString& fieldName, const QString& title, int width) {
    ++m_updating;
    TColumn* column = add();
    column->setFieldName(fieldName);
    if (!title.isEmpty())
        column->title().setCaption(title);
    if (width > 0)
        column->setWidth(width);
    --m_updating;
    changed(true);
    return column;
}

void TDBGridColumns::remove(int index) {
    m_items.erase(m_items.begin() + index);
    changed(true);
}

void TDBGridColumns::clear() {
    m_items.clear();
    changed(true);
}

void TDBGridColumns::bind(db::DataSet* dataSet) {
    ++m_updating;
    if (m_state == State::Default) {
        m_items.clear();
        if (dataSet)
            for (int i = 0; i < dataSet->fieldCount(); ++i) {
                db::Field* field = dataSet->field(i);
                if (!field->isVisible())
                    continue;
                m_items.push_back(std::make_unique<TColumn>(*this));
                m_items.back()->m_fieldName = field->fieldName();
            }
    }
    for (const auto& column : m_items)
        column->m_field = dataSet ? dataSet->findField(column->m_fieldName) : nullptr;
    --m_updating;
    changed(true);
}

QFontMetrics TDBGridColumns::metrics() const {
    return m_metrics ? m_metrics() : QFontMetrics(QGuiApplication::font());
}

void TDBGridColumns::changed(bool structure) {
    if (m_updating == 0 && onChanged)
        onChanged(structure);
}

void TDBGridColumns::storeAs(const QString& propertyName, ui::StoredProperties& out) const {
    ui::CollectionValue value;
    for (const auto& column : m_items) {
        ui::StoredProperties item;
        if (column->m_alignment)
            item.push_back({QStringLiteral("Alignment"), storedAlignment(*column->m_alignment)});
        if (column->m_buttonStyle != TColumnButtonStyle::cbsAuto)
            item.push_back({QStringLiteral("ButtonStyle"),
                            ui::Ident{column->m_buttonStyle == TColumnButtonStyle::cbsNone
                                          ? QStringLiteral("cbsNone")
                                          : QStringLiteral("cbsEllipsis")}});
        if (column->m_color.isValid())
            item.push_back({QStringLiteral("Color"), storedColor(column->m_color)});
        if (!column->m_expanded)
            item.push_back({QStringLiteral("Expanded"), false});
        item.push_back({QStringLiteral("FieldName"), column->m_fieldName});
        if (column->m_font || column->m_fontColor.isValid())
            storeFont(QStringLiteral("Font"), column->m_font.value_or(QFont()), column->m_fontColor,
                      item);
        if (!column->m_pickList.isEmpty()) {
            ui::ListValue list;
            for (const QString& entry : column->m_pickList)
                list.values.push_back(entry);
            item.push_back({QStringLiteral("PickList.Strings"), list});
        }
        if (column->m_readOnly)
            item.push_back({QStringLiteral("ReadOnly"), true});
        const TColumnTitle& title = column->m_title;
        if (title.m_alignment)
            item.push_back(
                {QStringLiteral("Title.Alignment"), storedAlignment(*title.m_alignment)});
        if (title.m_caption)
            item.push_back({QStringLiteral("Title.Caption"), *title.m_caption});
        if (title.m_color.isValid())
            item.push_back({QStringLiteral("Title.Color"), storedColor(title.m_color)});
        if (title.m_font)
            storeFont(QStringLiteral("Title.Font"), *title.m_font, QColor(), item);
        if (!column->m_visible)
            item.push_back({QStringLiteral("Visible"), false});
        // The width the person sees, also when it came from the field.
        item.push_back({QStringLiteral("Width"), column->width()});
        value.items.push_back(std::move(item));
    }
    out.push_back({propertyName, std::move(value)});
}
