#include "platform/store/ini_file.h"
#include "settings/production_settings.h"
#include "settings/production_settings_file.h"
#include "tests/support/company_settings.h"
#include "tests/support/temp_dir.h"

#include <QFile>
#include <gtest/gtest.h>
#include <optional>

namespace {

class ProductionSettingsFile : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    QString company = dir.sub("firma");
    std::optional<testsupport::CompanyRegistry> registry;

    void SetUp() override {
        registry.emplace(dir.sub("registry"));
        IndGest = '_';
        IndCod = '.';
        IndSemi = ';';
        SemiPrinReteta = false;
    }
    void TearDown() override {
        SemiPrinReteta = false;
        registry.reset();
    }

    void setCompanyDir(const QString& value) { testsupport::CompanyRegistry::nameCompany(value); }
    QByteArray fileBytes() { return testsupport::readProductionSettings(company); }
};

TEST_F(ProductionSettingsFile, MissingSectionKeepsTheInitialCharacters) {
    setCompanyDir(company);
    QFile f(company + "/KRVDEF.INI");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Alta]\r\nIndCod=X\r\n[productie]\r\nIndSemi=\r\n");
    f.close();
    LoadProductionSettings();
    EXPECT_EQ(IndGest, '_');
    EXPECT_EQ(IndCod, '.') << "the key of another section is not ours";
    EXPECT_EQ(IndSemi, ';') << "an empty value keeps the character";
}

TEST_F(ProductionSettingsFile, SaveWritesAllThreeAndKeepsTheRest) {
    for (const QString& spelling : {company, company + "/", company + "\\"}) {
        setCompanyDir(spelling);
        EXPECT_EQ(ProductionSettingsFileName(), company + "/KRVDEF.INI") << spelling.toStdString();
    }
    QFile f(company + "/KRVDEF.INI");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("; firma\r\n[Firma]\r\nNume = Brutaria\r\n\r\n[PRODUCTIE]\r\nindcod=M\r\n");
    f.close();
    LoadProductionSettings();
    EXPECT_EQ(IndCod, 'M');
    IndGest = 'g'; // stored and compared as typed
    ASSERT_TRUE(SaveProductionSettings());
    EXPECT_EQ(fileBytes(), "; firma\r\n[Firma]\r\nNume = "
                           "Brutaria\r\n\r\n[PRODUCTIE]\r\nindcod=M\r\nIndGest=g\r\nIndSemi=;\r\n");
    IndGest = IndCod = IndSemi = 'x';
    LoadProductionSettings();
    EXPECT_EQ(IndGest, 'g');
    EXPECT_EQ(IndCod, 'M');
    EXPECT_EQ(IndSemi, ';');
}

TEST_F(ProductionSettingsFile, WithoutCompanyDirectoryNothingIsReadOrWritten) {
    IndCod = 'M';
    LoadProductionSettings();
    EXPECT_EQ(IndCod, 'M');
    EXPECT_FALSE(SaveProductionSettings());
    EXPECT_TRUE(ProductionSettingsFileName().isEmpty());
}

// Unlike the characters, the switch is the company's own: a company whose file does not turn it
// on has it off, whatever the company opened before said.
TEST_F(ProductionSettingsFile, SemiFinishedSwitchDoesNotCarryOverToAnotherCompany) {
    const QString other = dir.sub("alta");
    QFile f(company + "/KRVDEF.INI");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Productie]\r\nIndCod=K\r\nSemiPrinReteta=1\r\n");
    f.close();
    setCompanyDir(company);
    LoadProductionSettings();
    EXPECT_TRUE(SemiPrinReteta);
    setCompanyDir(other);
    LoadProductionSettings();
    EXPECT_FALSE(SemiPrinReteta);
    EXPECT_EQ(IndCod, 'K') << "a character does carry over";
    ASSERT_TRUE(SaveProductionSettings());
    EXPECT_FALSE(testsupport::readProductionSettings(other).contains("SemiPrinReteta"))
        << "never turned on here: not written";
}

} // namespace
