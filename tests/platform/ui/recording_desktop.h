#pragma once
// A desktop that records the message boxes, beeps and cursors instead of showing them, and
// answers each box with the next prepared answer (or its escape result). The print dialog is
// answered with a PDF file when one is prepared (else cancelled), the save-file dialog with the
// prepared name (else given up). UiTest installs one in
// the current application for each test.
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"

#include <QCoreApplication>
#include <QPrinter>

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace testsupport {

struct ShownBox {
    ui::MessageKind kind;
    QString caption;
    QString text;
    ui::MessageButtons buttons;
    ui::MessageButtons defaultButton; // none: the toolkit's own
};

class RecordingDesktop : public ui::Desktop {
public:
    ui::ModalResult messageBox(ui::MessageKind kind, const QString& caption, const QString& text,
                               ui::MessageButtons buttons,
                               ui::MessageButtons defaultButton) override {
        boxes.push_back({kind, caption, text, buttons, defaultButton});
        if (answers.empty())
            return ui::escapeResult(buttons);
        const ui::ModalResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void beep() override { ++beeps; }
    void setCursor(ui::Cursor cursor) override { cursors.push_back(cursor); }
    bool printDialog(QPrinter& printer) override {
        ++printDialogs;
        if (printTo.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printTo);
        return true;
    }
    QString saveFileName(const QString& caption, const QString& proposed, const QString&) override {
        savesAsked.push_back({caption, proposed});
        return saveAs;
    }

    std::vector<ShownBox> boxes;
    std::deque<ui::ModalResult> answers;
    int beeps = 0;
    std::vector<ui::Cursor> cursors;
    QString printTo; // the PDF file the print dialog chooses; empty: the dialog is cancelled
    int printDialogs = 0;
    QString saveAs;                                      // the answer of the save-file dialog
    std::vector<std::pair<QString, QString>> savesAsked; // caption and proposed name
};

class UiTest : public ::testing::Test {
protected:
    void SetUp() override { ui::application()->setDesktop(&desktop); }
    void TearDown() override {
        // Forms released during the test go now, while the desktop still records.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ui::application()->setDesktop(nullptr);
    }

    RecordingDesktop desktop;
};

} // namespace testsupport
