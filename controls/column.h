#pragma once
// One column of a data grid: the field it shows (by name, bound to the field while the dataset is
// open), its title, width in pixels, visibility, editing and look. A property that is not assigned
// follows the field (title caption, width, alignment) or the grid (colour, font); only assigned
// properties are stored in a layout file.
#include "platform/ui/persistent.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <qnamespace.h>

#include <optional>

namespace db {
class DataSet;
class Field;
} // namespace db
namespace ui {
class Menu;
}

class TColumn;
class TDBGridColumns;

// Whether a cell editor of the column gets a button: cbsAuto a drop-down list for lookup fields
// and columns with a pick list, cbsEllipsis a button that runs the grid's edit-button event,
// cbsNone none.
enum class TColumnButtonStyle { cbsAuto, cbsEllipsis, cbsNone };

class TColumnTitle {
public:
    explicit TColumnTitle(TColumn& column) : m_column(column) {}

    // The assigned caption, else the field's display label, else the field name.
    QString caption() const;
    void setCaption(const QString& caption);
    bool captionAssigned() const { return m_caption.has_value(); }
    Qt::Alignment alignment() const { return m_alignment.value_or(Qt::AlignLeft); }
    void setAlignment(Qt::Alignment alignment);
    QColor color() const { return m_color; } // invalid: the grid's title colour
    void setColor(const QColor& color);
    std::optional<QFont> font() const { return m_font; }
    void setFont(const QFont& font);

    // The assigned properties, as a layout file stores them (Title.Alignment, Title.Caption,
    // Title.Color, Title.Font).
    void store(ui::StoredProperties& item) const;

private:
    TColumn& m_column;
    std::optional<QString> m_caption;
    std::optional<Qt::Alignment> m_alignment;
    QColor m_color;
    std::optional<QFont> m_font;
};

class TColumn {
public:
    explicit TColumn(TDBGridColumns& collection);
    TColumn(const TColumn&) = delete;
    TColumn& operator=(const TColumn&) = delete;

    TDBGridColumns& collection() const { return m_collection; }
    int index() const;

    const QString& fieldName() const { return m_fieldName; }
    void setFieldName(const QString& name);
    // The field shown while the grid's dataset is open, else null.
    db::Field* field() const { return m_field; }

    TColumnTitle& title() { return m_title; }
    const TColumnTitle& title() const { return m_title; }

    // Pixels; the assigned width, else one fitted to the field's display width.
    int width() const;
    void setWidth(int width);
    bool widthAssigned() const { return m_width.has_value(); }
    bool visible() const { return m_visible; }
    void setVisible(bool visible);
    bool expanded() const { return m_expanded; }
    void setExpanded(bool expanded) { m_expanded = expanded; }
    TColumnButtonStyle buttonStyle() const { return m_buttonStyle; }
    void setButtonStyle(TColumnButtonStyle style);
    // A read-only column, or one whose field cannot be written (calculated, lookup, read-only).
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);
    QColor color() const { return m_color; } // invalid: the grid's colour
    void setColor(const QColor& color);
    // The assigned alignment, else right for numbers and left for the rest.
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment alignment);
    std::optional<QFont> font() const { return m_font; }
    void setFont(const QFont& font);
    QColor fontColor() const { return m_fontColor; } // invalid: the grid's text colour
    void setFontColor(const QColor& color);
    const QStringList& pickList() const { return m_pickList; }
    void setPickList(const QStringList& items) { m_pickList = items; }
    ui::Menu* popupMenu() const { return m_popupMenu; }
    void setPopupMenu(ui::Menu* menu) { m_popupMenu = menu; }

    // The width that fits the field's display width (and the title) in the grid's font.
    int defaultWidth() const;

    // Tells the grid that the column changed: structure when it shows another field.
    void changed(bool structure = false);
    // Binds the column to the dataset's field of its name (none while the dataset is closed).
    void bindField(db::DataSet* dataSet);
    // The assigned properties, as a layout file stores them, and the width shown.
    void store(ui::StoredProperties& item) const;

private:
    TDBGridColumns& m_collection;
    QString m_fieldName;
    db::Field* m_field = nullptr;
    TColumnTitle m_title{*this};
    std::optional<int> m_width;
    bool m_visible = true;
    bool m_expanded = true;
    TColumnButtonStyle m_buttonStyle = TColumnButtonStyle::cbsAuto;
    bool m_readOnly = false;
    QColor m_color;
    std::optional<Qt::Alignment> m_alignment;
    std::optional<QFont> m_font;
    QColor m_fontColor;
    QStringList m_pickList;
    ui::Menu* m_popupMenu = nullptr;
};
