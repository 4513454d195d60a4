#include "host/article_picker.h"

#include "host/company_environment.h"
#include "host/record_grid.h"
#include "platform/db/field.h"
#include "platform/ui/button.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace host {

namespace {

// Hands the list's keys from the search line to the grid, so the list can be walked without
// leaving the search.
class ListKeys : public QObject {
public:
    ListKeys(QObject* parent, QWidget* grid) : QObject(parent), m_grid(grid) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_PageUp &&
            key != Qt::Key_PageDown)
            return false;
        const auto* original = static_cast<QKeyEvent*>(event);
        QKeyEvent copy(QEvent::KeyPress, key, original->modifiers());
        QCoreApplication::sendEvent(m_grid, &copy);
        return true;
    }

private:
    QWidget* m_grid;
};

} // namespace

ArticlePicker::ArticlePicker(QWidget* owner, const QString& group, const QString& code)
    : ui::Form(owner) {
    setName(QStringLiteral("ArticlePicker"));
    setCaption(QStringLiteral("Alegeți articolul"));
    m_catalog.setDatabaseName(QString::fromLatin1(kCompanyAlias));
    m_catalog.setTableName(QStringLiteral("CATALOG.DB"));
    m_catalog.setReadOnly(true);
    m_catalog.setIndexFieldNames(QStringLiteral("Cod"));
    auto column = [this](const char* name, int size, const char* title, int width) {
        db::Field* f = m_catalog.addField(QString::fromLatin1(name),
                                          size ? db::FieldType::Text : db::FieldType::Float, size);
        f->setDisplayLabel(QString::fromUtf8(title));
        f->setDisplayWidth(width);
    };
    column("Grupa", 8, "Grupa", 6);
    column("Cod", 30, "Cod", 12);
    column("Denumire", 255, "Denumire", 34);
    column("Unitate_masura", 4, "U.M.", 5);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("SearchEdit"));
    m_search->setPlaceholderText(QStringLiteral("începutul codului"));
    m_grid = new RecordGrid(&m_source, this);
    m_grid->setObjectName(QStringLiteral("ArticleGrid"));
    m_grid->setStretchField(QStringLiteral("Denumire"));
    m_search->installEventFilter(new ListKeys(this, m_grid));

    auto* ok = new ui::Button(QStringLiteral("Alege"), this);
    ok->setModalResult(ui::mrOk);
    ok->setDefault(true);
    auto* cancel = new ui::Button(QStringLiteral("Renunță"), this);
    cancel->setModalResult(ui::mrCancel);
    cancel->setCancel(true);

    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel(QStringLiteral("Caută codul:"), this));
    search->addWidget(m_search, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);

    connect(m_search, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!text.trimmed().isEmpty())
            m_catalog.findNearest({text.trimmed()});
    });
    setPosition(ui::FormPosition::ScreenCenter);
    setClientSize(620, 420);
    m_catalog.open();
    if (!code.isEmpty() && !m_catalog.locate(QStringLiteral("Grupa;Cod"), {group, code}))
        m_catalog.findNearest({code});
    m_search->setFocus();
    created();
}

ArticlePicker::~ArticlePicker() {
    m_catalog.close();
}

QString ArticlePicker::group() const {
    return m_catalog.isEmpty() ? QString()
                               : m_catalog.fieldByName(QStringLiteral("Grupa"))->asString();
}

QString ArticlePicker::code() const {
    return m_catalog.isEmpty() ? QString()
                               : m_catalog.fieldByName(QStringLiteral("Cod"))->asString();
}

bool pickArticle(QWidget* owner, QString& group, QString& code) {
    ArticlePicker picker(owner, group, code);
    if (picker.showModal() != ui::mrOk || picker.code().isEmpty())
        return false;
    group = picker.group();
    code = picker.code();
    return true;
}

} // namespace host
