// The company as a whole: which files are read, what is reported, what is refused, and that a
// refused import, a dry run or a failure leaves no company behind.
#include "tests/import/import_fixture.h"
#include "tests/support/readable_name.h"

#include <QFile>

namespace pxtest {
namespace {

using paradox::FieldCode;

const QList<Column> kCurrencyColumns{{"Cod_valuta", FieldCode::Alpha, 3},
                                     {"Denumire", FieldCode::Alpha, 30}};
// A file whose currency codes may be one wider than the company's field.
const QList<Column> kWideCurrencyColumns{{"Cod_valuta", FieldCode::Alpha, 4},
                                         {"Denumire", FieldCode::Alpha, 30}};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const paradox::TableSummary* summaryOf(const paradox::ImportOutcome& o, const QString& table) {
    for (const paradox::TableSummary& t : o.tables)
        if (t.table == table)
            return &t;
    return nullptr;
}

// A whole-table case: the files it writes, and the listed outcome.
struct TableCase {
    const char* name;
    std::function<void(ImportTest& test)> write;
    const char* refusal; // part of one refusal; nullptr when nothing is refused
    const char* note;    // part of one note; nullptr for none expected
};

void PrintTo(const TableCase& c, std::ostream* os) {
    *os << c.name;
}

class TableOutcome : public ImportTest, public ::testing::WithParamInterface<TableCase> {};

TEST_P(TableOutcome, GivesItsListedOutcome) {
    GetParam().write(*this);
    const paradox::ImportOutcome outcome = run();
    if (GetParam().refusal) {
        EXPECT_FALSE(outcome.written);
        EXPECT_FALSE(companyLeft());
        EXPECT_TRUE(anyContains(outcome.refused, QString::fromUtf8(GetParam().refusal)))
            << joined(outcome.refused);
    } else {
        EXPECT_TRUE(outcome.written) << joined(outcome.refused);
        EXPECT_TRUE(outcome.refused.isEmpty()) << joined(outcome.refused);
    }
    if (GetParam().note) {
        EXPECT_TRUE(anyContains(outcome.notes, QString::fromUtf8(GetParam().note)))
            << joined(outcome.notes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableOutcome,
    ::testing::Values(
        TableCase{"KeyDuplicateNamesBothRecords",
                  [](ImportTest& t) {
                      writeTable(t.file(QStringLiteral("VALUTA.DB")), kCurrencyColumns,
                                 {{QStringLiteral("RON"), QStringLiteral("Leu")},
                                  {QStringLiteral("EUR"), QStringLiteral("Euro")},
                                  {QStringLiteral("RON"), QStringLiteral("Leu nou")}});
                  },
                  "VALUTA.DB, înregistrarea 3: are aceeași cheie (Cod_valuta = «RON») ca "
                  "înregistrarea 1",
                  nullptr},
        TableCase{"KeyDuplicateOverTwoFields",
                  [](ImportTest& t) {
                      writeTable(t.file(QStringLiteral("Item_in.DB")),
                                 {{"Contor", FieldCode::Number, 8},
                                  {"Contor_secundar", FieldCode::Number, 8}},
                                 {{1.0, 1.0}, {1.0, 2.0}, {2.0, 1.0}, {1.0, 2.0}});
                  },
                  "Item_in.DB, înregistrarea 4: are aceeași cheie (Contor, Contor_secundar = 1, "
                  "2) ca înregistrarea 2",
                  nullptr},
        TableCase{"UnknownFieldIsRefusedNotDropped",
                  [](ImportTest& t) {
                      writeTable(t.file(QStringLiteral("VALUTA.DB")),
                                 kCurrencyColumns + QList<Column>{{"Curs", FieldCode::Number, 8}},
                                 {{QStringLiteral("EUR"), QStringLiteral("Euro"), 4.97}});
                  },
                  "VALUTA.DB: câmpul Curs al fișierului nu există în tabela firmei", nullptr},
        TableCase{"MissingTableIsCreatedEmpty",
                  [](ImportTest& t) {
                      writeTable(t.file(QStringLiteral("VALUTA.DB")), kCurrencyColumns,
                                 {{QStringLiteral("RON"), QStringLiteral("Leu")}});
                  },
                  nullptr, "Stoc.DB: directorul nu are tabela; este creată goală"},
        TableCase{"MissingFieldStaysEmpty",
                  [](ImportTest& t) {
                      writeTable(t.file(QStringLiteral("VALUTA.DB")),
                                 {{"Cod_valuta", FieldCode::Alpha, 3}}, {{QStringLiteral("RON")}});
                  },
                  nullptr, "VALUTA.DB: fișierul nu are câmpul Denumire; rămâne gol"},
        TableCase{"FileOfNoTableIsReported",
                  [](ImportTest& t) {
                      writeTable(t.file(QStringLiteral("Clienti.DB")),
                                 {{"Cod", FieldCode::Alpha, 10}}, {{QStringLiteral("C1")}});
                  },
                  nullptr, "Fișierul Clienti.DB nu este o tabelă a firmei; nu a fost importat"}),
    testsupport::ReadableName());

TEST_F(ImportTest, TwoFilesForOneTableAreRefusedBeforeAnythingIsMade) {
    writeTable(file(QStringLiteral("VALUTA.DB")), kCurrencyColumns, {});
    writeTable(file(QStringLiteral("valuta")), kCurrencyColumns, {});
    try {
        run();
        FAIL() << "the import should not start";
    } catch (const paradox::ImportRefused& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("două fișiere pentru tabela VALUTA.DB")))
            << e.what();
    }
    EXPECT_FALSE(companyLeft());
}

TEST_F(ImportTest, NamesOfFilesAndFieldsIgnoreLetterCaseAndExtension) {
    writeTable(file(QStringLiteral("valuta.db")),
               {{"COD_VALUTA", FieldCode::Alpha, 3}, {"denumire", FieldCode::Alpha, 30}},
               {{QStringLiteral("EUR"), QStringLiteral("Euro")}});
    writeTable(file(QStringLiteral("MATERIALE")), {{"cod_material", FieldCode::Alpha, 10}},
               {{QStringLiteral("301")}});
    const paradox::ImportOutcome outcome = run();
    ASSERT_TRUE(outcome.written) << joined(outcome.refused);
    EXPECT_EQ(
        rows(QStringLiteral("VALUTA"), {QStringLiteral("Cod_valuta"), QStringLiteral("Denumire")}),
        (QList<QVariantList>{{QStringLiteral("EUR"), QStringLiteral("Euro")}}));
    EXPECT_EQ(rows(QStringLiteral("Materiale.db"), {QStringLiteral("Cod_material")}),
              (QList<QVariantList>{{QStringLiteral("301")}}));
    ASSERT_NE(summaryOf(outcome, QStringLiteral("VALUTA.DB")), nullptr);
    EXPECT_EQ(QFileInfo(summaryOf(outcome, QStringLiteral("VALUTA.DB"))->file).fileName(),
              QStringLiteral("valuta.db"));
}

TEST_F(ImportTest, EveryTableIsMadeWithItsKeysAndTheSettingsFileIsCopiedAsItIs) {
    const QByteArray settings("[Productie]\r\nIndGest=G\r\nIndCod=M\r\n; comentariu ş\r\n");
    QFile f(file(QStringLiteral("krvdef.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(settings);
    f.close();
    writeStock(25);
    const paradox::ImportOutcome outcome = run();
    ASSERT_TRUE(outcome.written) << joined(outcome.refused);
    EXPECT_EQ(readAll(QDir(company).filePath(QStringLiteral("KRVDEF.INI"))), settings);
    EXPECT_EQ(outcome.tables.size(), paradox::importedTableNames().size());
    const paradox::TableSummary* stock = summaryOf(outcome, QStringLiteral("Stoc.DB"));
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(stock->read, 25);
    EXPECT_EQ(stock->written, 25);
    EXPECT_EQ(stock->refused, 0);
    const QList<QVariantList> stored = rows(
        QStringLiteral("Stoc.DB"), {QStringLiteral("Cod_articol"), QStringLiteral("Cantitate")});
    ASSERT_EQ(stored.size(), 25);
    EXPECT_EQ(stored[24], (QVariantList{QStringLiteral("M0024"), 240.0}));
}

TEST_F(ImportTest, AcceptedRefusalsWriteTheRestAndTheReportBesideTheCompany) {
    writeTable(file(QStringLiteral("VALUTA.DB")), kWideCurrencyColumns,
               {{QStringLiteral("RON"), QStringLiteral("Leu")},
                {QStringLiteral("RONX"), QStringLiteral("prea lung")},
                {QStringLiteral("RON"), QStringLiteral("Leu nou")},
                {QStringLiteral("EUR"), QStringLiteral("Euro")}});
    const paradox::ImportOutcome outcome = run(true);
    ASSERT_TRUE(outcome.written);
    EXPECT_EQ(outcome.refused.size(), 2) << joined(outcome.refused);
    EXPECT_EQ(rows(QStringLiteral("VALUTA.DB"), {QStringLiteral("Cod_valuta")}),
              (QList<QVariantList>{{QStringLiteral("RON")}, {QStringLiteral("EUR")}}));
    const paradox::TableSummary* currencies = summaryOf(outcome, QStringLiteral("VALUTA.DB"));
    ASSERT_NE(currencies, nullptr);
    EXPECT_EQ(currencies->read, 4);
    EXPECT_EQ(currencies->written, 2);
    EXPECT_EQ(currencies->refused, 2);
    EXPECT_EQ(outcome.reportFile, paradox::reportFileFor(company));
    const QString report = QString::fromUtf8(readAll(outcome.reportFile));
    EXPECT_TRUE(report.contains(QStringLiteral("VALUTA.DB, înregistrarea 2: câmpul Cod_valuta")))
        << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("VALUTA.DB, înregistrarea 3: are aceeași cheie")))
        << report.toStdString();
}

TEST_F(ImportTest, DryRunChecksEverythingAndLeavesNoCompany) {
    writeStock(10);
    const paradox::ImportOutcome outcome = run(false, true);
    EXPECT_FALSE(outcome.written);
    EXPECT_TRUE(outcome.refused.isEmpty()) << joined(outcome.refused);
    EXPECT_EQ(summaryOf(outcome, QStringLiteral("Stoc.DB"))->written, 10);
    EXPECT_FALSE(companyLeft());
}

TEST_F(ImportTest, RefusedImportIntoAnEmptyDirectoryLeavesItEmpty) {
    ASSERT_TRUE(QDir().mkpath(company));
    writeTable(file(QStringLiteral("VALUTA.DB")), kWideCurrencyColumns,
               {{QStringLiteral("RONX"), QStringLiteral("prea lung")}});
    const paradox::ImportOutcome outcome = run();
    EXPECT_FALSE(outcome.written);
    ASSERT_TRUE(QFileInfo(company).isDir());
    EXPECT_TRUE(
        QDir(company).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(ImportTest, DirectoryThatHoldsAnythingIsRefusedAndLeftAsItWas) {
    ASSERT_TRUE(QDir().mkpath(company));
    QFile f(QDir(company).filePath(QStringLiteral("note.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("de păstrat");
    f.close();
    writeStock(2);
    EXPECT_THROW(run(), paradox::ImportRefused);
    EXPECT_EQ(readAll(QDir(company).filePath(QStringLiteral("note.txt"))),
              QByteArray("de păstrat"));
}

TEST_F(ImportTest, MissingSourceDirectoryIsRefused) {
    paradox::ImportRequest r = request();
    r.sourceDirectory = dir.path() + QStringLiteral("/nu-exista");
    EXPECT_THROW(paradox::importCompany(r), paradox::ImportRefused);
    EXPECT_FALSE(companyLeft());
}

// Folder names as a person types them: "." and ".." steps are resolved, so the company made and
// the messages name the folder actually written; a control character is refused before anything.
TEST_F(ImportTest, FolderNamesAreResolvedAndControlCharactersRefused) {
    writeStock(2);
    paradox::ImportRequest r = request();
    const QString dotted =
        QFileInfo(company).path() + QStringLiteral("/./x/../") + QFileInfo(company).fileName();
    r.companyDirectory = dotted;
    const paradox::ImportOutcome outcome = paradox::importCompany(r);
    EXPECT_TRUE(outcome.written);
    EXPECT_TRUE(QFileInfo(QDir(company).filePath(QStringLiteral("tables.sqlite"))).exists() ||
                QFileInfo(QDir(company).filePath(QStringLiteral("server.location"))).exists());
    EXPECT_FALSE(QFileInfo(QFileInfo(company).path() + QStringLiteral("/x")).exists());

    for (const char* bad : {"firma\nnoua", "firma\tnoua", "firma\x1b[2Jnoua"}) {
        paradox::ImportRequest refused = request();
        refused.companyDirectory = company + QStringLiteral("-2") + QString::fromLatin1(bad);
        EXPECT_THROW(paradox::importCompany(refused), paradox::ImportRefused) << bad;
        refused = request();
        refused.sourceDirectory = source + QString::fromLatin1(bad);
        EXPECT_THROW(paradox::importCompany(refused), paradox::ImportRefused) << bad;
    }
    EXPECT_EQ(QDir(QFileInfo(company).path())
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                  .filter(QStringLiteral("-2")),
              QStringList());
}

TEST_F(ImportTest, StoppedImportLeavesNoCompany) {
    writeStock(20000);
    paradox::ImportRequest r = request();
    r.progress = [](const QString& table, qint64 done, qint64) {
        return !(table == QLatin1String("Stoc.DB") && done > 0);
    };
    EXPECT_THROW(paradox::importCompany(r), paradox::ImportCancelled);
    EXPECT_FALSE(companyLeft());
}

} // namespace
} // namespace pxtest
