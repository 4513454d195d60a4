// Opening a company directory: what each kind of caller needs of the folder, and the one
// message a missing company or a folder without its database gets.
#include "company/company_directory.h"
#include "tests/support/company_settings.h"
#include "tests/support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <algorithm>

#include <gtest/gtest.h>

namespace {

using company::Holds;

enum class Folder { Missing, Empty, DatabaseFile, ServerLocation, BadServerLocation };

struct Opening {
    const char* name;
    Folder folder;
    Holds holds;
    const char* refusal; // the start of the message, or nullptr when the folder is accepted
};

class OpenCompanyDirectory : public ::testing::TestWithParam<Opening> {
protected:
    testsupport::TempDir dir;

    QString prepare(Folder folder) {
        const QString company = dir.path() + QStringLiteral("/firma");
        if (folder == Folder::Missing)
            return company;
        QDir().mkpath(company);
        auto write = [&](const char* name, const QByteArray& bytes) {
            QFile f(company + QLatin1Char('/') + QLatin1String(name));
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        if (folder == Folder::DatabaseFile)
            write("tables.sqlite", "SQLite format 3");
        if (folder == Folder::ServerLocation)
            write("server.location", "postgres:host=localhost schema=firma\n");
        if (folder == Folder::BadServerLocation)
            write("server.location", "nu este un server\n");
        return company;
    }
};

TEST_P(OpenCompanyDirectory, AcceptsWhatTheCallerNeedsAndRefusesTheRestInOneWording) {
    const QString company = prepare(GetParam().folder);
    // Given with a trailing "/." and a relative step: answered absolute and clean.
    const QString given = company + QStringLiteral("/../firma/.");
    if (!GetParam().refusal) {
        const company::CompanyDirectory opened =
            company::openCompanyDirectory(given, GetParam().holds);
        EXPECT_EQ(opened.path, company);
        EXPECT_EQ(opened.databaseFile, company + QStringLiteral("/tables.sqlite"));
        return;
    }
    try {
        company::openCompanyDirectory(given, GetParam().holds);
        ADD_FAILURE() << "accepted";
    } catch (const company::CompanyRefused& e) {
        const QString expected =
            QString::fromUtf8(GetParam().refusal).arg(QDir::toNativeSeparators(company));
        EXPECT_TRUE(e.message().startsWith(expected)) << e.message().toStdString();
    }
}

constexpr auto kMissing = "Firma nu există: directorul %1 nu a fost găsit.";
constexpr auto kNoDatabase =
    "Directorul %1 nu conține o firmă (lipsește baza de date tables.sqlite).";

INSTANTIATE_TEST_SUITE_P(
    Folders, OpenCompanyDirectory,
    ::testing::Values(
        Opening{"MissingForARestore", Folder::Missing, Holds::Directory, kMissing},
        Opening{"MissingForABackup", Folder::Missing, Holds::DatabaseFile, kMissing},
        Opening{"MissingForACommand", Folder::Missing, Holds::DatabaseOrServer, kMissing},
        Opening{"EmptyForANewCompany", Folder::Empty, Holds::Directory, nullptr},
        Opening{"EmptyForABackup", Folder::Empty, Holds::DatabaseFile, kNoDatabase},
        Opening{"EmptyForACommand", Folder::Empty, Holds::DatabaseOrServer, kNoDatabase},
        Opening{"DatabaseForABackup", Folder::DatabaseFile, Holds::DatabaseFile, nullptr},
        Opening{"DatabaseForACommand", Folder::DatabaseFile, Holds::DatabaseOrServer, nullptr},
        Opening{"OnAServerForACommand", Folder::ServerLocation, Holds::DatabaseOrServer, nullptr},
        Opening{"OnAServerForABackup", Folder::ServerLocation, Holds::DatabaseFile, kNoDatabase},
        Opening{"BadServerFileForABackup", Folder::BadServerLocation, Holds::DatabaseFile,
                kNoDatabase}),
    [](const auto& info) { return std::string(info.param.name); });

// Names a person gives are resolved (".", "..") before use, and refused when they hold a
// control character, which a message would show wrongly and nobody means.
TEST(CheckedPath, ResolvesStepsAndRefusesControlCharacters) {
    testsupport::TempDir dir;
    const QString base = dir.path();
    EXPECT_EQ(company::checkedPath(base + QStringLiteral("/a/../b/./c.csv")),
              base + QStringLiteral("/b/c.csv"));
    EXPECT_EQ(company::checkedPath(base + QStringLiteral("/rețete ăîşţ.csv")),
              base + QStringLiteral("/rețete ăîşţ.csv"));
    for (const char* name : {"a\nb", "a\rb", "a\tb", "\x1b[2Jb", "a\x7f", "a\u0085b"}) {
        const QString given = base + QLatin1Char('/') + QString::fromUtf8(name);
        try {
            company::checkedPath(given);
            ADD_FAILURE() << "accepted " << name;
        } catch (const company::CompanyRefused& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("caractere de control"))) << name;
            EXPECT_FALSE(std::any_of(e.message().begin(), e.message().end(), [](QChar c) {
                return c.category() == QChar::Other_Control;
            })) << "the message shows the name without them";
        }
        QDir().mkpath(given);
        EXPECT_THROW(company::openCompanyDirectory(given, Holds::Directory),
                     company::CompanyRefused)
            << name;
    }
}

// The company opened last is what the registry names, and nothing before one was opened.
TEST(CompanyOpenedLast, IsRememberedInTheRegistry) {
    testsupport::TempDir dir;
    const testsupport::CompanyRegistry registry(dir.sub(QStringLiteral("registru")));
    EXPECT_EQ(company::lastCompanyDirectory(), QString());
    company::rememberCompanyDirectory(dir.sub(QStringLiteral("a")));
    company::rememberCompanyDirectory(dir.sub(QStringLiteral("b")));
    EXPECT_EQ(company::lastCompanyDirectory(), dir.sub(QStringLiteral("b")));
}

} // namespace
