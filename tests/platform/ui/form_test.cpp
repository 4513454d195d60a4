// Forms: modal runs and their results, the close events and actions, ownership, placement, MDI
// children and key preview.
#include "recording_desktop.h"

#include "platform/base/errors.h"
#include "platform/ui/button.h"
#include "platform/ui/component.h"
#include "platform/ui/edit.h"
#include "platform/ui/form.h"
#include "platform/ui/main_window.h"
#include "platform/ui/message_box.h"
#include "platform/ui/screen.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace ui;

namespace {

// A dialog as the system's are: an edit, a default OK button and a cancel button.
struct Dialog {
    Dialog() {
        form->setClientSize(300, 100);
        edit->setGeometry(10, 10, 200, 24);
        ok->setGeometry(10, 50, 80, 30);
        cancel->setGeometry(100, 50, 80, 30);
        ok->setModalResult(mrOk);
        ok->setDefault(true);
        cancel->setModalResult(mrCancel);
        cancel->setCancel(true);
    }
    ~Dialog() { delete form.data(); }

    QPointer<Form> form = new Form;
    Edit* edit = new Edit(form);
    Button* ok = new Button(QStringLiteral("OK"), form);
    Button* cancel = new Button(QStringLiteral("&Renunta"), form);
};

// Runs act once the modal loop of the dialog is running.
ModalResult runModal(Dialog& dialog, std::function<void()> act) {
    QTimer::singleShot(0, dialog.form, std::move(act));
    return dialog.form->showModal();
}

class FormTest : public testsupport::UiTest {};

struct WayOut {
    const char* name;
    std::function<void(Dialog&)> act;
    ModalResult expected;
};

void PrintTo(const WayOut& c, std::ostream* os) {
    *os << c.name;
}

class ModalWayOut : public FormTest, public ::testing::WithParamInterface<WayOut> {};

TEST_P(ModalWayOut, EndsTheRunWithItsResult) {
    Dialog dialog;
    EXPECT_EQ(runModal(dialog, [&] { GetParam().act(dialog); }), GetParam().expected);
    EXPECT_FALSE(dialog.form->isVisible());
    EXPECT_FALSE(dialog.form->isShowingModal());
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ModalWayOut,
    ::testing::Values(
        WayOut{"OkClicked", [](Dialog& d) { QTest::mouseClick(d.ok, Qt::LeftButton); }, mrOk},
        WayOut{"CancelClicked", [](Dialog& d) { QTest::mouseClick(d.cancel, Qt::LeftButton); },
               mrCancel},
        WayOut{"EnterPressesDefault", [](Dialog& d) { QTest::keyClick(d.edit, Qt::Key_Return); },
               mrOk},
        WayOut{"EscapePressesCancel", [](Dialog& d) { QTest::keyClick(d.edit, Qt::Key_Escape); },
               mrCancel},
        WayOut{"CloseBox", [](Dialog& d) { d.form->close(); }, mrCancel},
        WayOut{"SetByProgram", [](Dialog& d) { d.form->setModalResult(mrYes); }, mrYes},
        WayOut{"HiddenByProgram", [](Dialog& d) { d.form->hide(); }, mrCancel}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormTest, ClickHandlerCanKeepTheFormOpenAfterAMessage) {
    Dialog dialog;
    int clicks = 0;
    dialog.ok->onClick = [&] {
        if (++clicks == 1) {
            messageBox(MessageKind::Warning, QStringLiteral("Completati toate datele!"));
            dialog.form->setModalResult(mrNone);
        }
    };
    const ModalResult result = runModal(dialog, [&] {
        QTest::mouseClick(dialog.ok, Qt::LeftButton);
        QTimer::singleShot(0, [&] { QTest::mouseClick(dialog.ok, Qt::LeftButton); });
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(desktop.boxes.size(), 1u);
}

TEST_F(FormTest, CloseQueryAndCloseActionNoneKeepTheFormOpen) {
    Dialog dialog;
    int attempts = 0;
    dialog.form->onCloseQuery = [&](bool& canClose) { canClose = ++attempts > 1; };
    dialog.form->onClose = [&](CloseAction& action) {
        if (attempts == 2)
            action = CloseAction::None;
    };
    const ModalResult result = runModal(dialog, [&] {
        dialog.form->close();
        QTimer::singleShot(0, [&] {
            EXPECT_TRUE(dialog.form->isVisible());
            dialog.form->close();
            QTimer::singleShot(0, [&] { dialog.form->close(); });
        });
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(attempts, 3);
}

TEST_F(FormTest, EscapeWithoutCancelButtonDoesNothing) {
    Dialog dialog;
    delete dialog.cancel;
    const ModalResult result = runModal(dialog, [&] {
        QTest::keyClick(dialog.edit, Qt::Key_Escape);
        QTimer::singleShot(0, [&] {
            EXPECT_TRUE(dialog.form->isVisible());
            dialog.form->setModalResult(mrNo);
        });
    });
    EXPECT_EQ(result, mrNo);
}

TEST_F(FormTest, FreeOnCloseReleasesTheFormAfterTheRun) {
    Dialog dialog;
    dialog.form->onClose = [](CloseAction& action) { action = CloseAction::Free; };
    EXPECT_EQ(runModal(dialog, [&] { dialog.ok->click(); }), mrOk);
    ASSERT_TRUE(dialog.form); // the caller may still read it
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.form.isNull());
}

TEST_F(FormTest, ErrorInCloseHandlerEndsTheRunAndReachesTheCaller) {
    Dialog dialog;
    dialog.form->onClose = [](CloseAction&) { throw base::DatabaseError(QStringLiteral("disc")); };
    EXPECT_THROW(runModal(dialog, [&] { dialog.ok->click(); }), base::DatabaseError);
    EXPECT_FALSE(dialog.form->isVisible());
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(FormTest, FormDiesWithItsOwner) {
    auto* widgetOwner = new QWidget;
    auto* componentOwner = new Component;
    QPointer<Form> ownedByWidget = new Form(widgetOwner);
    QPointer<Form> ownedByComponent = new Form(componentOwner);
    EXPECT_EQ(ownedByComponent->owner(), componentOwner);
    delete widgetOwner;
    delete componentOwner;
    EXPECT_TRUE(ownedByWidget.isNull());
    EXPECT_TRUE(ownedByComponent.isNull());
}

TEST_F(FormTest, ScreenCentredDialogBorderCannotBeResized) {
    Form form;
    form.setPosition(FormPosition::ScreenCenter);
    form.setBorderStyle(BorderStyle::Dialog);
    form.setClientSize(388, 188);
    form.show();
    const QPoint centre = ui::screen()->availableGeometry().center();
    EXPECT_LE((form.geometry().center() - centre).manhattanLength(), 2);
    EXPECT_EQ(form.minimumSize(), QSize(388, 188));
    EXPECT_EQ(form.maximumSize(), QSize(388, 188));
    form.setClientSize(400, 200);
    EXPECT_EQ(form.size(), QSize(400, 200));
}

class MdiChildForm : public Form {
public:
    explicit MdiChildForm(QObject* owner) : Form(owner) {
        setFormStyle(FormStyle::MdiChild);
        setClientSize(534, 474);
        onCreate = [this] { visibleAtCreate = isVisible(); };
        created();
    }
    bool visibleAtCreate = false;
};

class MdiTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        mainWindow.resize(1000, 800);
        mainWindow.show();
        application()->setMainWindow(&mainWindow);
    }
    void TearDown() override {
        application()->setMainWindow(nullptr);
        FormTest::TearDown();
    }
    MainWindow mainWindow;
};

TEST_F(MdiTest, ChildShowsInsideTheMainWindowAndFreesItselfWithItsFrame) {
    QPointer<MdiChildForm> form = new MdiChildForm(&mainWindow);
    EXPECT_TRUE(form->visibleAtCreate);
    EXPECT_EQ(form->size(), QSize(534, 474));
    ASSERT_EQ(mainWindow.mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(mainWindow.mdiArea()->subWindowList().first()->widget(), form.data());
    EXPECT_THROW(form->showModal(), base::Error);

    form->close(); // an MDI child minimises by default
    EXPECT_TRUE(form->mdiFrame()->isMinimized());
    form->bringToFront();
    EXPECT_FALSE(form->mdiFrame()->isMinimized());

    form->onClose = [](CloseAction& action) { action = CloseAction::Free; };
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_TRUE(mainWindow.mdiArea()->subWindowList().isEmpty());
}

TEST_F(FormTest, MdiChildNeedsAMainWindowWithAnMdiArea) {
    Form form;
    EXPECT_THROW(form.setFormStyle(FormStyle::MdiChild), base::Error);
}

TEST_F(FormTest, KeyPreviewSeesTheKeysOfTheFocusedControlFirst) {
    Dialog dialog;
    std::vector<int> keys;
    std::vector<char16_t> chars;
    dialog.form->onKeyDown = [&](int& key, ShiftState) {
        keys.push_back(key);
        if (key == 'X')
            key = 0;
    };
    dialog.form->onKeyPress = [&](char16_t& key) {
        chars.push_back(key);
        if (key == 'x')
            key = 0;
    };
    dialog.form->show();
    dialog.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.form));
    dialog.edit->setFocus();

    QTest::keyClick(dialog.edit, Qt::Key_A); // without preview the edit keeps its keys
    EXPECT_TRUE(keys.empty());

    dialog.form->setKeyPreview(true);
    QTest::keyClick(dialog.edit, Qt::Key_F2);
    QTest::keyClick(dialog.edit, Qt::Key_X);                           // swallowed
    QTest::keyClick(dialog.edit, Qt::Key_Return, Qt::ControlModifier); // character 10
    EXPECT_EQ(keys, (std::vector<int>{113, 'X', vk::Control, 13}));
    EXPECT_EQ(chars, (std::vector<char16_t>{'x', 10}));
    EXPECT_EQ(dialog.edit->text(), QStringLiteral("a"));
}

} // namespace
