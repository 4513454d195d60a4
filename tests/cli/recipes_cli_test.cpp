// lumbra recipes export / import: the CSV form of the recipes, the editor's rules on every line,
// all or nothing.
#include "tests/cli/cli_fixture.h"

#include <QTextStream>

namespace clitest {
namespace {

class RecipesCli : public CliFixture {
protected:
    void SetUp() override {
        company->article(QStringLiteral("PF"), QStringLiteral("P1"), QStringLiteral("Pâine"), 10)
            .article(QStringLiteral("PF"), QStringLiteral("P2"), QStringLiteral("Cozonac"), 4)
            .article(QStringLiteral("MAT"), QStringLiteral("M1"), QStringLiteral("Făină"))
            .article(QStringLiteral("MAT"), QStringLiteral("M2"), QStringLiteral("Drojdie"))
            .article(QStringLiteral("SEMI"), QStringLiteral("S1"), QStringLiteral("Aluat"))
            .recipe(QStringLiteral("P1"), QStringLiteral("MAT"), QStringLiteral("M1"), 5.5)
            .recipe(QStringLiteral("P1"), QStringLiteral("MAT"), QStringLiteral("M2"), 0.1)
            .recipe(QStringLiteral("P2"), QStringLiteral("SEMI"), QStringLiteral("S1"), 2);
    }

    QString writeFile(const QString& name, const QString& text) {
        const QString path = dir.path() + QLatin1Char('/') + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        return path;
    }

    static constexpr char kExported[] = "Cod,Cod_MatPrim,Cod_Grupa,Cant_MatPrim,CantReteta\n"
                                        "P1,M1,MAT,5.5,10\n"
                                        "P1,M2,MAT,0.1,10\n"
                                        "P2,S1,SEMI,2,4\n";
};

TEST_F(RecipesCli, ExportWritesEveryLineWithItsBatchQuantity) {
    const CliRun r = run({QStringLiteral("recipes"), QStringLiteral("export"), companyDir});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QString::fromLatin1(kExported));

    const QString file = dir.path() + QStringLiteral("/retete.csv");
    EXPECT_EQ(run({QStringLiteral("recipes"), QStringLiteral("export"), companyDir, file}).status,
              0);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), QString::fromLatin1(kExported));
}

TEST_F(RecipesCli, ExportThenImportIntoACompanyWithoutRecipesGivesTheSameRecipes) {
    const QString file = dir.path() + QStringLiteral("/retete.csv");
    ASSERT_EQ(run({QStringLiteral("recipes"), QStringLiteral("export"), companyDir, file}).status,
              0);

    const QString other = dir.sub(QStringLiteral("alta"));
    auto target = makeCompany(other);
    target->article(QStringLiteral("PF"), QStringLiteral("P1"), QStringLiteral("Pâine"))
        .article(QStringLiteral("PF"), QStringLiteral("P2"), QStringLiteral("Cozonac"))
        .article(QStringLiteral("MAT"), QStringLiteral("M1"))
        .article(QStringLiteral("MAT"), QStringLiteral("M2"))
        .article(QStringLiteral("SEMI"), QStringLiteral("S1"));
    const CliRun imported = run({QStringLiteral("recipes"), QStringLiteral("import"), other, file});
    ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.contains(QStringLiteral("3 linii, 2 produse")))
        << imported.out.toStdString();
    EXPECT_EQ(run({QStringLiteral("recipes"), QStringLiteral("export"), other}).out,
              QString::fromLatin1(kExported));
}

TEST_F(RecipesCli, ImportReplacesTheRecipesOfTheProductsInTheFileOnly) {
    const QString file =
        writeFile(QStringLiteral("p1.csv"),
                  QStringLiteral("cod;cod_matprim;cod_grupa;cant_matprim;cantreteta\n"
                                 "P1;M2;MAT;\"0,25\";20\n"));
    const CliRun r = run({QStringLiteral("recipes"), QStringLiteral("import"), companyDir, file});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(run({QStringLiteral("recipes"), QStringLiteral("export"), companyDir}).out,
              QStringLiteral("Cod,Cod_MatPrim,Cod_Grupa,Cant_MatPrim,CantReteta\n"
                             "P1,M2,MAT,0.25,20\n"
                             "P2,S1,SEMI,2,4\n"));
}

TEST_F(RecipesCli, DryRunChecksAndWritesNothing) {
    const QByteArray before = databaseBytes(companyDir);
    const QString file =
        writeFile(QStringLiteral("ok.csv"),
                  QStringLiteral("Cod,Cod_MatPrim,Cod_Grupa,Cant_MatPrim,CantReteta\n"
                                 "P2,M1,MAT,1,4\n"));
    const CliRun r = run({QStringLiteral("recipes"), QStringLiteral("import"), companyDir, file,
                          QStringLiteral("--dry-run")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("nu s-a scris nimic"))) << r.out.toStdString();
    EXPECT_EQ(databaseBytes(companyDir), before);
}

// One file with a fault on every line but the first: each refused line is listed with its
// number and reason, and the good line is not written either.
TEST_F(RecipesCli, AnyRefusedLineRefusesTheWholeFileAndListsEveryOne) {
    const QByteArray before = databaseBytes(companyDir);
    const QString file =
        writeFile(QStringLiteral("rau.csv"),
                  QStringLiteral("Cod,Cod_MatPrim,Cod_Grupa,Cant_MatPrim,CantReteta\n"
                                 "P2,M1,MAT,1,4\n"     // 2: fine on its own
                                 "P2,M2,MAT,,4\n"      // 3: quantity missing
                                 "P2,M3,MAT,1,4\n"     // 4: no such material
                                 "P2,M2,SEMI,1,4\n"    // 5: material under another group
                                 "P2,P1,PF,1,4\n"      // 6: a finished product as material
                                 "PX,M1,MAT,1,4\n"     // 7: unknown product
                                 "P1,M1,MAT,doi,10\n"  // 8: not a number
                                 "P1,M2,MAT,1,0\n"     // 9: batch quantity 0
                                 "P2,M1,MAT,2,4\n"     // 10: same material twice
                                 "P2,S1,SEMI,1,5\n")); // 11: another batch quantity
    const CliRun r = run({QStringLiteral("recipes"), QStringLiteral("import"), companyDir, file});
    EXPECT_EQ(r.status, 1);
    const QStringList expected = {
        QStringLiteral("linia 3: lipsește Cant_MatPrim"),
        QStringLiteral("linia 4: MAT M3 nu este materie primă"),
        QStringLiteral("linia 5: SEMI M2 nu este materie primă"),
        QStringLiteral("linia 6: PF P1 nu este materie primă"),
        QStringLiteral("linia 7: produsul PX nu este în catalog"),
        QStringLiteral("linia 8: Cant_MatPrim nu este un număr: doi"),
        QStringLiteral("linia 9: CantReteta trebuie să fie pozitivă"),
        QStringLiteral("linia 10: materialul M1 apare a doua oară"),
        QStringLiteral("linia 11: CantReteta 5 diferă de 4 de pe linia 2")};
    for (const QString& e : expected)
        EXPECT_TRUE(r.err.contains(e)) << "missing: " << e.toStdString() << "\n"
                                       << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("linia 2:"))) << r.err.toStdString();
    EXPECT_LT(r.err.indexOf(QStringLiteral("linia 3:")),
              r.err.indexOf(QStringLiteral("linia 11:")));
    EXPECT_EQ(databaseBytes(companyDir), before);
}

// A file whose only fault is one refused line, of each kind in turn, after a good line that
// would change a recipe: the file is refused, the line named, and nothing at all is written.
struct OneRefusal {
    const char* name;
    const char* line; // the file's third line
    const char* reason;
};

void PrintTo(const OneRefusal& c, std::ostream* os) {
    *os << c.name;
}

class ImportWithOneRefusal : public RecipesCli, public ::testing::WithParamInterface<OneRefusal> {};

TEST_P(ImportWithOneRefusal, WritesNothing) {
    const QByteArray before = databaseBytes(companyDir);
    const QString file =
        writeFile(QStringLiteral("una.csv"),
                  QStringLiteral("Cod,Cod_MatPrim,Cod_Grupa,Cant_MatPrim,CantReteta\n"
                                 "P1,M2,MAT,0.5,20\n") +
                      QString::fromUtf8(GetParam().line) + QLatin1Char('\n'));
    const CliRun r = run({QStringLiteral("recipes"), QStringLiteral("import"), companyDir, file});
    EXPECT_EQ(r.status, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("linia 3: ") + QString::fromUtf8(GetParam().reason)))
        << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("linia 2:"))) << r.err.toStdString();
    EXPECT_EQ(databaseBytes(companyDir), before);
    EXPECT_EQ(run({QStringLiteral("recipes"), QStringLiteral("export"), companyDir}).out,
              QString::fromLatin1(kExported));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ImportWithOneRefusal,
    ::testing::Values(
        OneRefusal{"MissingQuantity", "P2,M2,MAT,,4", "lipsește Cant_MatPrim"},
        OneRefusal{"QuantityNotANumber", "P2,M2,MAT,doi,4", "Cant_MatPrim nu este un număr"},
        OneRefusal{"BatchNotANumber", "P2,M2,MAT,1,patru", "CantReteta nu este un număr"},
        OneRefusal{"BatchNotPositive", "P2,M2,MAT,1,-4", "CantReteta trebuie să fie pozitivă"},
        OneRefusal{"MaterialTwiceInARecipe", "P1,M2,MAT,1,20", "materialul M2 apare a doua oară"},
        OneRefusal{"AnotherBatchQuantity", "P1,M1,MAT,1,30", "CantReteta 30 diferă de 20"},
        OneRefusal{"ProductNotInTheCatalog", "PX,M1,MAT,1,4", "produsul PX nu este în catalog"},
        OneRefusal{"MaterialUnderAnotherGroup", "P2,M2,SEMI,1,4", "SEMI M2 nu este materie primă"},
        OneRefusal{"FinishedProductAsMaterial", "P2,P1,PF,1,4", "PF P1 nu este materie primă"},
        OneRefusal{"TextOutsideTheCodePage", "P2,M\u4e2d,MAT,1,4", "The character"},
        OneRefusal{"MaterialCodeTooLong", "P2,M1234567890123456789012345678901,MAT,1,4",
                   "The text"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecipesCli, AFileWithoutTheNeededColumnsIsRefused) {
    const QString file =
        writeFile(QStringLiteral("antet.csv"), QStringLiteral("Cod,Material\nP1,M1\n"));
    const CliRun r = run({QStringLiteral("recipes"), QStringLiteral("import"), companyDir, file});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nu are coloana Cod_MatPrim")))
        << r.err.toStdString();
}

TEST_F(RecipesCli, TextOutsideTheCodePageIsRefusedByLine) {
    const QByteArray before = databaseBytes(companyDir);
    const QString file =
        writeFile(QStringLiteral("cp.csv"),
                  QStringLiteral("Cod,Cod_MatPrim,Cod_Grupa,Cant_MatPrim,CantReteta\n"
                                 "P2,M€\u4e2d,MAT,1,4\n"));
    const CliRun r = run({QStringLiteral("recipes"), QStringLiteral("import"), companyDir, file});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("linia 2:"))) << r.err.toStdString();
    EXPECT_EQ(databaseBytes(companyDir), before);
}

} // namespace
} // namespace clitest
