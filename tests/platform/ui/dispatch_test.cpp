// The dispatch guard at every entry from the event loop, the general error box, the message
// boxes and the hourglass, all seen through the recording desktop.
#include "recording_desktop.h"

#include "platform/base/errors.h"
#include "platform/ui/button.h"
#include "platform/ui/cursor_guard.h"
#include "platform/ui/data_module.h"
#include "platform/ui/edit.h"
#include "platform/ui/form.h"
#include "platform/ui/menu.h"
#include "platform/ui/menu_item.h"
#include "platform/ui/menu_renderer.h"
#include "platform/ui/message_box.h"
#include "platform/ui/screen.h"
#include "platform/ui/timer.h"

#include <QAction>
#include <QEventLoop>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace ui;

namespace {

class DispatchTest : public testsupport::UiTest {};

// A data module whose create handler runs the given code.
class ProbeModule : public DataModule {
public:
    explicit ProbeModule(std::function<void()> onCreateHandler) {
        onCreate = std::move(onCreateHandler);
        created();
    }
};

// Each way from the event loop into a handler: raise(handler) makes the loop call handler.
struct Entry {
    const char* name;
    std::function<void(const std::function<void()>& handler)> raise;
};

// Runs an event loop until quit() or a second has passed.
void runLoop(const std::function<void(QEventLoop&)>& start) {
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    QTimer::singleShot(0, &loop, [&] { start(loop); });
    loop.exec();
}

void PrintTo(const Entry& c, std::ostream* os) {
    *os << c.name;
}

const Entry kEntries[] = {
    {"ButtonClick",
     [](const std::function<void()>& handler) {
         Button button(QStringLiteral("OK"), nullptr);
         button.onClick = handler;
         button.show();
         QTest::mouseClick(&button, Qt::LeftButton);
     }},
    {"MenuCommand",
     [](const std::function<void()>& handler) {
         Menu menu(nullptr, Menu::Kind::Popup);
         auto* item = new MenuItem(&menu, QStringLiteral("CalcNec"),
                                   QStringLiteral("Calcul necesar tehnic"));
         item->onClick = handler;
         std::unique_ptr<QMenu> popup(renderPopup(menu));
         popup->actions().first()->trigger();
     }},
    {"KeyHandler",
     [](const std::function<void()>& handler) {
         Edit edit;
         edit.onKeyPress = [&](char16_t&) { handler(); };
         QTest::keyClick(&edit, Qt::Key_A);
     }},
    {"Timer",
     [](const std::function<void()>& handler) {
         runLoop([&](QEventLoop& loop) {
             auto* timer = new Timer(&loop);
             timer->setInterval(0);
             timer->onTimer = [&, timer] {
                 timer->setEnabled(false);
                 loop.quit();
                 handler();
             };
             timer->setEnabled(true);
         });
     }},
    {"DataModuleCreate", [](const std::function<void()>& handler) { ProbeModule module(handler); }},
};

class GuardedEntry : public DispatchTest, public ::testing::WithParamInterface<Entry> {};

TEST_P(GuardedEntry, DatabaseErrorReachesTheGeneralErrorBox) {
    GetParam().raise([] {
        throw base::DatabaseError(QStringLiteral("Eroare de acces la baza de date.\rKey violation"),
                                  base::DatabaseError::Kind::KeyViolation);
    });
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(desktop.boxes[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(desktop.boxes[0].text,
              QStringLiteral("Eroare de acces la baza de date.\rKey violation"));
    EXPECT_EQ(desktop.boxes[0].buttons, MessageButtons(MessageButton::Ok));
}

TEST_P(GuardedEntry, SilentAbortShowsNothing) {
    bool ran = false;
    GetParam().raise([&] {
        ran = true;
        base::abortSilently();
    });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(desktop.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Dispatch, GuardedEntry, ::testing::ValuesIn(kEntries),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DispatchTest, EventLoopGoesOnAfterAHandlerError) {
    Form form;
    auto* failing = new Button(QStringLiteral("Genereaza"), &form);
    auto* ok = new Button(QStringLiteral("OK"), &form);
    ok->move(0, 40);
    ok->setModalResult(mrOk);
    failing->onClick = [] { throw base::DatabaseError(QStringLiteral("Table is busy")); };
    QTimer::singleShot(0, &form, [&] {
        QTest::mouseClick(failing, Qt::LeftButton);
        QTimer::singleShot(0, &form, [&] { QTest::mouseClick(ok, Qt::LeftButton); });
    });
    EXPECT_EQ(form.showModal(), mrOk);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("Table is busy"));
}

TEST_F(DispatchTest, ApplicationHandlerReplacesTheErrorBox) {
    QString seen;
    application()->onException = [&](const std::exception& e) { seen = e.what(); };
    Button button;
    button.onClick = [] { throw std::runtime_error("plain"); };
    button.click();
    application()->onException = nullptr;
    EXPECT_EQ(seen, QStringLiteral("plain"));
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(DispatchTest, MessageBoxesCarryKindCaptionTextAndButtons) {
    struct Case {
        MessageKind kind;
        const char* caption;
        MessageButtons buttons;
        ModalResult answer;
    };
    const Case cases[] = {
        {MessageKind::Warning, "Warning", MessageButton::Ok, mrOk},
        {MessageKind::Error, "Error", MessageButton::Ok, mrOk},
        {MessageKind::Information, "Information", MessageButton::Yes | MessageButton::No, mrNo},
        {MessageKind::Confirmation, "Confirm", MessageButton::Ok | MessageButton::Cancel, mrCancel},
    };
    for (const Case& c : cases) {
        desktop.answers.push_back(c.answer);
        EXPECT_EQ(messageBox(c.kind, QStringLiteral("Doriti sa continuati?"), c.buttons), c.answer);
        const testsupport::ShownBox& box = desktop.boxes.back();
        EXPECT_EQ(box.kind, c.kind);
        EXPECT_EQ(box.caption, QLatin1String(c.caption));
        EXPECT_EQ(box.text, QStringLiteral("Doriti sa continuati?"));
        EXPECT_EQ(box.buttons, c.buttons);
    }
    beep();
    EXPECT_EQ(desktop.beeps, 1);
}

TEST_F(DispatchTest, HourglassIsRestoredOnEveryPath) {
    {
        CursorGuard outer;
        EXPECT_EQ(ui::screen()->cursor(), Cursor::HourGlass);
        try {
            CursorGuard inner;
            throw base::DatabaseError(QStringLiteral("lost"));
        } catch (const base::DatabaseError&) {
        }
        EXPECT_EQ(ui::screen()->cursor(), Cursor::HourGlass); // the outer one still holds
    }
    Button button;
    button.onClick = [] {
        CursorGuard busy;
        base::abortSilently();
    };
    button.click();
    EXPECT_EQ(ui::screen()->cursor(), Cursor::Default);
    EXPECT_EQ(desktop.cursors,
              (std::vector<Cursor>{Cursor::HourGlass, Cursor::HourGlass, Cursor::HourGlass,
                                   Cursor::Default, Cursor::HourGlass, Cursor::Default}));
}

TEST_F(DispatchTest, InstalledApplicationAndScreenTakeOverAndGiveBack) {
    testsupport::RecordingDesktop hostDesktop;
    Application host;
    host.setDesktop(&hostDesktop);
    Screen hostScreen;
    Application* own = application();
    setApplication(&host);
    setScreen(&hostScreen);
    messageBox(MessageKind::Information, QStringLiteral("OK. Documentul a fost generat."));
    {
        CursorGuard busy;
        EXPECT_EQ(hostScreen.cursor(), Cursor::HourGlass);
    }
    setApplication(nullptr);
    setScreen(nullptr);
    EXPECT_EQ(application(), own);
    EXPECT_EQ(hostDesktop.boxes.size(), 1u);
    EXPECT_EQ(hostDesktop.cursors.size(), 2u);
    EXPECT_TRUE(desktop.boxes.empty());
}

} // namespace
