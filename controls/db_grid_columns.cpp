#include "controls/db_grid_columns.h"

#include "platform/db/data_set.h"

#include <QFontMetrics>
#include <QGuiApplication>

TColumn* TDBGridColumns::add() {
    if (m_state == State::Default) {
        m_items.clear();
        m_state = State::Customized;
    }
    m_items.push_back(std::make_unique<TColumn>(*this));
    columnChanged(true);
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
    columnChanged(true);
    return column;
}

void TDBGridColumns::remove(int index) {
    m_items.erase(m_items.begin() + index);
    columnChanged(true);
}

void TDBGridColumns::clear() {
    m_items.clear();
    columnChanged(true);
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
                m_items.back()->setFieldName(field->fieldName());
            }
    }
    for (const auto& column : m_items)
        column->bindField(dataSet);
    --m_updating;
    columnChanged(true);
}

QList<int> TDBGridColumns::shown() const {
    QList<int> indexes;
    for (int i = 0; i < count(); ++i)
        if (items(i)->visible())
            indexes << i;
    return indexes;
}

int TDBGridColumns::neighbour(int column, int direction) const {
    const QList<int> indexes = shown();
    const int position = indexes.indexOf(column);
    const int next = position + direction;
    return position >= 0 && next >= 0 && next < indexes.size() ? indexes.at(next) : -1;
}

QFontMetrics TDBGridColumns::metrics() const {
    return m_metrics ? m_metrics() : QFontMetrics(QGuiApplication::font());
}

void TDBGridColumns::columnChanged(bool structure) {
    if (m_updating == 0 && onChanged)
        onChanged(structure);
}

void TDBGridColumns::storeAs(const QString& propertyName, ui::StoredProperties& out) const {
    ui::CollectionValue value;
    for (const auto& column : m_items) {
        ui::StoredProperties item;
        column->store(item);
        value.items.push_back(std::move(item));
    }
    out.push_back({propertyName, std::move(value)});
}
