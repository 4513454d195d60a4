#pragma once
// A text label. Its caption may carry an accelerator ("&Cauta:"): with a focus control, Alt and
// the letter put the focus there; without one the mark is only dropped from the text.
#include <QLabel>

namespace ui {

class Label : public QLabel {
public:
    explicit Label(QWidget* parent = nullptr) : Label(QString(), parent) {}
    Label(const QString& caption, QWidget* parent);

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    void setFocusControl(QWidget* control);
    void setFontColor(const QColor& color);

private:
    void showCaption();

    QString m_caption;
};

} // namespace ui
