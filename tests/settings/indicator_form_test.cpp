#include "addon/dummy_module.h"
#include "common/module_values.h"
#include "platform/ui/button.h"
#include "platform/ui/check_box.h"
#include "platform/ui/edit.h"
#include "platform/ui/menu_item.h"
#include "settings/form/qdm_indicator_form.h"
#include "settings/production_settings.h"
#include "tests/platform/ui/recording_desktop.h"
#include "tests/support/company_settings.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

namespace {

class SettingsDialog : public testsupport::UiTest {
protected:
    testsupport::TempDir dir;
    QString company = dir.sub("firma");
    QWidget hostWindow;
    std::unique_ptr<TDummyModule> module;
    std::optional<testsupport::CompanyRegistry> registry;
    const QByteArray original =
        "[Firma]\r\nNume=Brutaria Dulce\r\n; comentariu\r\n\r\n[Productie]\r\nIndGest=G\r\n"
        "IndCod=M\r\nIndSemi=S\r\n[Altele]\r\nX = 1\r\n";

    void SetUp() override {
        UiTest::SetUp();
        registry.emplace(dir.sub("registry"), company + "/");
        writeFile(original);
        IndGest = '_';
        IndCod = '.';
        IndSemi = ';';
        SemiPrinReteta = false;
        module = std::make_unique<TDummyModule>(&hostWindow);
    }
    void TearDown() override {
        SemiPrinReteta = false;
        module.reset();
        registry.reset();
        UiTest::TearDown();
    }
    void writeFile(const QByteArray& bytes) {
        ASSERT_TRUE(testsupport::writeProductionSettings(company, bytes));
    }
    QByteArray readFile() { return testsupport::readProductionSettings(company); }
    // Chooses the menu item and acts on the dialog once it is shown.
    void runDialog(const std::function<void(TQDMIndicatorForm&)>& act) {
        bool acted = false;
        QTimer::singleShot(0, [&] {
            ASSERT_NE(QDMIndicatorForm, nullptr);
            QDMIndicatorForm->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(QDMIndicatorForm));
            act(*QDMIndicatorForm);
            acted = true;
        });
        module->Productie1->click();
        EXPECT_TRUE(acted);
        EXPECT_EQ(QDMIndicatorForm, nullptr) << "the dialog clears its reference when it closes";
    }
    static void retype(ui::Edit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        if (!text.isEmpty())
            QTest::keyClicks(edit, text);
    }
};

TEST_F(SettingsDialog, OkSavesTheCharactersAndKeepsTheRestOfTheFile) {
    runDialog([&](TQDMIndicatorForm& form) {
        EXPECT_EQ(form.caption(), "Configurarile modulului de productie");
        EXPECT_EQ(form.EditIndicGest->text(), "G") << "the dialog loads the file";
        EXPECT_EQ(form.EditIndicMat->text(), "M");
        EXPECT_EQ(form.EditIndicSemi->text(), "S");
        EXPECT_EQ(QApplication::focusWidget(), form.EditIndicGest);
        retype(form.EditIndicMat, "m");
        QTest::mouseClick(form.OKBtn, Qt::LeftButton);
    });
    EXPECT_EQ(IndCod, 'm') << "a lower-case character is taken as typed";
    QByteArray expected = original;
    expected.replace("IndCod=M", "IndCod=m");
    EXPECT_EQ(readFile(), expected);
}

TEST_F(SettingsDialog, AnEmptyBoxKeepsItsCharacterAndAllThreeAreWritten) {
    writeFile("[Productie]\r\nIndCod=K\r\n");
    runDialog([&](TQDMIndicatorForm& form) {
        retype(form.EditIndicMat, "");
        QTest::mouseClick(form.OKBtn, Qt::LeftButton);
    });
    EXPECT_EQ(IndCod, 'K');
    EXPECT_EQ(readFile(), "[Productie]\r\nIndCod=K\r\nIndGest=_\r\nIndSemi=;\r\n");
}

TEST_F(SettingsDialog, CancelWritesNothingButTheValuesWereReloaded) {
    runDialog([&](TQDMIndicatorForm& form) {
        retype(form.EditIndicGest, "Z");
        QTest::keyClick(&form, Qt::Key_Escape);
    });
    EXPECT_EQ(readFile(), original);
    EXPECT_EQ(IndGest, 'G');
    EXPECT_EQ(IndCod, 'M');
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(SettingsDialog, TabOrderRunsThroughTheBoxesAndButtons) {
    runDialog([&](TQDMIndicatorForm& form) {
        QStringList order;
        for (int i = 0; i < 5; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(order, (QStringList{"EditIndicGest", "EditIndicMat", "OKBtn", "CancelBtn",
                                      "EditIndicSemi"}));
        form.CancelBtn->click();
    });
}

// The descent through semi-finished products: off and absent from the file until it is used;
// once there, it follows the box both ways.
TEST_F(SettingsDialog, SemiFinishedSwitchIsWrittenOnceTurnedOn) {
    runDialog([&](TQDMIndicatorForm& form) {
        EXPECT_FALSE(form.SemiRetetaChk->isChecked());
        QTest::mouseClick(form.SemiRetetaChk, Qt::LeftButton);
        QTest::mouseClick(form.OKBtn, Qt::LeftButton);
    });
    EXPECT_TRUE(SemiPrinReteta);
    QByteArray expected = original;
    expected.replace("IndSemi=S\r\n", "IndSemi=S\r\nSemiPrinReteta=1\r\n");
    EXPECT_EQ(readFile(), expected);
}

TEST_F(SettingsDialog, SemiFinishedSwitchTurnedOffIsWrittenOff) {
    QByteArray file = original;
    file.replace("IndSemi=S\r\n", "IndSemi=S\r\nSemiPrinReteta=1\r\n");
    writeFile(file);
    runDialog([&](TQDMIndicatorForm& form) {
        EXPECT_TRUE(form.SemiRetetaChk->isChecked()) << "the dialog loads the switch";
        form.SemiRetetaChk->setFocus();
        QTest::keyClick(form.SemiRetetaChk, Qt::Key_Space);
        QTest::mouseClick(form.OKBtn, Qt::LeftButton);
    });
    EXPECT_FALSE(SemiPrinReteta);
    file.replace("SemiPrinReteta=1", "SemiPrinReteta=0");
    EXPECT_EQ(readFile(), file);
}

} // namespace
