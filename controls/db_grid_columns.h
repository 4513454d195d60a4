#pragma once
// The columns of a data grid. A grid whose window gives it no columns shows default columns, one
// per visible field of its dataset, made when the dataset opens and dropped when it closes; the
// first column a window adds replaces the default ones for good (the columns are then
// customised). In a layout file the collection is stored as its items with their assigned
// properties.
#include "controls/column.h"
#include "platform/ui/persistent.h"

#include <functional>
#include <memory>
#include <vector>

class QFontMetrics;

namespace db {
class DataSet;
}

class TDBGridColumns : public TPersistent {
public:
    enum class State { Default, Customized };

    TDBGridColumns() = default;
    TDBGridColumns(const TDBGridColumns&) = delete;
    TDBGridColumns& operator=(const TDBGridColumns&) = delete;

    int count() const { return int(m_items.size()); }
    TColumn* items(int index) const { return m_items.at(size_t(index)).get(); }
    TColumn* operator[](int index) const { return items(index); }
    State state() const { return m_state; }
    // The indexes of the visible columns, in order.
    QList<int> shown() const;
    // The visible column beside column (direction -1: left, +1: right), -1 at the edge or when
    // column is not visible.
    int neighbour(int column, int direction) const;

    // A new column at the end; the columns become customised.
    TColumn* add();
    TColumn* add(const QString& fieldName, const QString& title = QString(), int width = 0);
    void remove(int index);
    void clear();

    // The dataset's fields bound to the columns by name, or none (null); default columns follow
    // the dataset's visible fields.
    void bind(db::DataSet* dataSet);

    // The font in which widths are measured (the grid's).
    void setMetricsSource(std::function<QFontMetrics()> metrics) { m_metrics = std::move(metrics); }
    QFontMetrics metrics() const;
    // Runs on every change: structure true when columns came, went or changed their field.
    std::function<void(bool structure)> onChanged;

    void storeAs(const QString& propertyName, ui::StoredProperties& out) const override;
    // A column changed; structure when it shows another field.
    void columnChanged(bool structure);

private:
    std::vector<std::unique_ptr<TColumn>> m_items;
    State m_state = State::Default;
    std::function<QFontMetrics()> m_metrics;
    int m_updating = 0;
};
