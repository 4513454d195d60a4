#pragma once
// A masked edit for a calendar date ("!00/00/0000": day, month and four-digit year, "/" being the
// regional date separator) with a calendar button at its right edge. It keeps the last valid date
// (today's at creation); the text changes into a date only by a successful parse, when Value is
// read, when the focus leaves the edit and before the calendar opens. A text that is not a date
// (a part missing, such as a blank year, or an impossible day such as 31 April) is refused with
// the error beep: the text goes back to the last valid date and the focus stays in the edit. After
// the parse the masked edit's own check refuses blank required places ("Invalid input value.  Use
// escape key to abandon changes").
//
// Creating a date edit makes "DD/MM/YYYY" the module's short date format (with the regional
// separator), so that from then on every date the module writes or reads as text, in grids as well,
// is day first.
//
// A separator typed after a single digit of the day or the month makes that digit the whole
// number ("15.3.2025" types 15.03.2025).
//
// Ctrl+Enter, like the button, opens the calendar on the edit's date and puts the chosen date into
// the text. With EditorEnabled off (or read-only) cut and paste are refused. The edit is never
// lower than its font needs.
#include "platform/ui/mask_edit.h"

#include <QDate>

class TDateEditBtn;

class TDateEdit : public ui::MaskEdit {
public:
    explicit TDateEdit(QWidget* parent = nullptr);

    // Parses the text: the date on success (it becomes the last valid date); on failure, after the
    // beep and the last valid date put back, the focus returns to the edit and the last valid
    // date is answered, or, when the edit cannot take the focus (its window has closed), a
    // base::Error "Cannot focus a disabled or invisible window" is raised.
    QDate value();
    // Sets the date and the text; the date is not checked.
    void setValue(const QDate& date);
    // The last valid date, without parsing.
    QDate date() const { return m_date; }

    bool editorEnabled() const { return m_editorEnabled; }
    void setEditorEnabled(bool enabled) { m_editorEnabled = enabled; }
    bool autoSelect() const { return m_autoSelect; }
    void setAutoSelect(bool on) { m_autoSelect = on; }
    // The three-dimensional look (on by default) places the button inside the edit's border.
    bool ctl3D() const { return m_ctl3D; }
    void setCtl3D(bool on);
    TDateEditBtn* button() const { return m_button; }

    // Opens the calendar on the edit's date (a text that is not a date leaves the last valid one)
    // and puts a confirmed choice into the text.
    void OpenCalendar();

    // The lowest height the font allows.
    int minimumHeightForFont() const;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void handleKey(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool parse(QDate& date) const;
    // A separator typed after one digit of the day or month: "0" and the digit fill its places.
    bool padsOneDigit(const QString& typed);
    void showDate();
    void placeButton();
    bool refusesClipboard() const { return !m_editorEnabled || isReadOnly(); }

    QDate m_date;
    TDateEditBtn* m_button;
    bool m_editorEnabled = true;
    bool m_autoSelect = true;
    bool m_ctl3D = true;
};
