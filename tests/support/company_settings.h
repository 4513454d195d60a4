#pragma once
// The surroundings a company's production settings are read from, set up as the host leaves
// them: a registry of the test's own whose value LastDatabaseDir names the company directory,
// and the company's settings file KRVDEF.INI.
//
//   testsupport::CompanyRegistry registry(dir.sub("registry"), companyDir);
//   ASSERT_TRUE(testsupport::writeProductionSettings(companyDir));
#include <QByteArray>
#include <QString>

namespace testsupport {

// Points the registry at registryDirectory for the life of the object and, unless
// companyDirectory is empty, names that company as the one the host opened last.
class CompanyRegistry {
public:
    explicit CompanyRegistry(const QString& registryDirectory,
                             const QString& companyDirectory = QString());
    ~CompanyRegistry();
    CompanyRegistry(const CompanyRegistry&) = delete;
    CompanyRegistry& operator=(const CompanyRegistry&) = delete;

    // Names another directory (or spelling of one) as the company opened last.
    static void nameCompany(const QString& companyDirectory);
};

// The settings file the fixtures give a company: warehouse G, materials group M, semi-finished
// group S.
inline constexpr char kProductionSettings[] =
    "[Productie]\r\nIndGest=G\r\nIndCod=M\r\nIndSemi=S\r\n";

// Writes <companyDirectory>/KRVDEF.INI with exactly bytes; false when it cannot be written.
bool writeProductionSettings(const QString& companyDirectory,
                             const QByteArray& bytes = kProductionSettings);
// The bytes of <companyDirectory>/KRVDEF.INI, empty when there is no such file.
QByteArray readProductionSettings(const QString& companyDirectory);

} // namespace testsupport
