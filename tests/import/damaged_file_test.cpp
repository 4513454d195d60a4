// Damaged, truncated and foreign files: each is refused with the file's name and what is wrong,
// nothing is written, and no reading ever leaves the file's bytes (the sanitizer build checks
// the last part: every cut of a file and many changed bytes are read without a fault).
#include "import/paradox_layout.h"
#include "import/paradox_table.h"
#include "tests/import/import_fixture.h"
#include "tests/support/readable_name.h"

#include <QFile>
#include <QRandomGenerator>

#include <functional>

namespace pxtest {
namespace {

QByteArray u16(unsigned v) {
    QByteArray b(2, '\0');
    b[0] = char(v & 0xff);
    b[1] = char(v >> 8 & 0xff);
    return b;
}
QByteArray u32(quint32 v) {
    return u16(v & 0xffff) + u16(v >> 16);
}

// Where the data blocks of a file start, and their size, as its header says.
qint64 headerSize(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray h = f.read(6);
    return qint64(quint8(h[2])) | qint64(quint8(h[3])) << 8;
}
qint64 blockSize(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return qint64(quint8(f.read(6)[5])) * 1024;
}
// The start of block n (from 1).
qint64 block(const QString& path, int n) {
    return headerSize(path) + (n - 1) * blockSize(path);
}

struct DamageCase {
    const char* name;
    std::function<void(const QString& path)> damage;
    const char* reason; // part of the refusal
};

void PrintTo(const DamageCase& c, std::ostream* os) {
    *os << c.name;
}

class DamagedFile : public ImportTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedFile, IsRefusedWithItsNameAndReasonAndNoCompanyIsLeft) {
    // 100 records of 91 bytes: four blocks of 3 KB, 33 records in each of the first three.
    const QString path = writeStock(100);
    GetParam().damage(path);
    const paradox::ImportOutcome outcome = run();
    EXPECT_FALSE(outcome.written);
    EXPECT_FALSE(companyLeft());
    const QString expected = QStringLiteral("Fișierul %1: ").arg(QDir::toNativeSeparators(path));
    ASSERT_TRUE(anyContains(outcome.refused, expected)) << joined(outcome.refused);
    EXPECT_TRUE(anyContains(outcome.refused, QString::fromUtf8(GetParam().reason)))
        << joined(outcome.refused);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedFile,
    ::testing::Values(
        DamageCase{"TruncatedInTheData",
                   [](const QString& p) { truncateFile(p, block(p, 3) + 100); },
                   "fișierul este trunchiat: antetul declară 4 blocuri"},
        DamageCase{"TruncatedInTheHeader", [](const QString& p) { truncateFile(p, 60); },
                   "mai puțin decât un antet"},
        DamageCase{"HeaderCutBeforeItsEnd", [](const QString& p) { truncateFile(p, 1000); },
                   "antetul declară 2048 octeți, fișierul are 1000"},
        DamageCase{"EmptyFile", [](const QString& p) { truncateFile(p, 0); },
                   "fișierul are 0 octeți"},
        DamageCase{"ForeignFile",
                   [](const QString& p) {
                       QFile f(p);
                       ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                       f.write(QByteArray("Cod;Denumire\nM001;Făină\n").repeated(20));
                   },
                   "antetul nu este al unei tabele de date Paradox"},
        DamageCase{"IndexFileNotADataFile", [](const QString& p) { patchFile(p, 0x04, "\x01"); },
                   "tipul de fișier 1"},
        DamageCase{"UnknownFormatVersion", [](const QString& p) { patchFile(p, 0x39, "\x2a"); },
                   "versiunea de format necunoscută 42"},
        DamageCase{"RecordSizeNotTheSumOfTheFields",
                   [](const QString& p) { patchFile(p, 0x00, u16(92)); },
                   "înregistrarea declarată de 92 octeți nu este suma"},
        DamageCase{"RecordLargerThanABlock",
                   [](const QString& p) { patchFile(p, 0x00, u16(5000)); },
                   "nu încape într-un bloc"},
        DamageCase{"TextFieldLongerThanTheRecord",
                   // Cod_articol (the third field) claims 200 bytes of a 91-byte record.
                   [](const QString& p) { patchFile(p, 0x78 + 2 * 2 + 1, "\xc8"); },
                   "câmpul 3 (text, 200 octeți) trece de capătul înregistrării"},
        DamageCase{"NumberFieldOfTheWrongLength",
                   [](const QString& p) { patchFile(p, 0x78 + 2 * 4 + 1, "\x04"); },
                   "are lungimea 4 în loc de 8"},
        DamageCase{"UnknownFieldType", [](const QString& p) { patchFile(p, 0x78, "\x42"); },
                   "tipul necunoscut 0x42"},
        DamageCase{"FirstBlockPastTheEnd", [](const QString& p) { patchFile(p, 0x0E, u16(999)); },
                   "primul bloc de date (999) este dincolo de capătul fișierului"},
        DamageCase{"BlockPointerPastTheEnd",
                   [](const QString& p) { patchFile(p, block(p, 1), u16(999)); },
                   "blocul 1 trimite la blocul 999, dincolo de capătul fișierului"},
        DamageCase{"BlockChainLoopingBack",
                   [](const QString& p) { patchFile(p, block(p, 2), u16(1)); },
                   "revine la blocul 1"},
        DamageCase{"BlockClaimingMoreRecordsThanItHolds",
                   [](const QString& p) { patchFile(p, block(p, 1) + 4, u16(91 * 40)); },
                   "blocul 1 declară 41 înregistrări"},
        DamageCase{"BlockEndNotOnARecord",
                   [](const QString& p) { patchFile(p, block(p, 1) + 4, u16(100)); },
                   "nu cade la capăt de înregistrare"},
        DamageCase{"HeaderClaimingMoreRecordsThanTheBlocksHold",
                   [](const QString& p) { patchFile(p, 0x06, u32(105)); },
                   "antetul declară 105 înregistrări, blocurile de date conțin doar 100"},
        DamageCase{"HeaderClaimingFewerRecords",
                   [](const QString& p) { patchFile(p, 0x06, u32(99)); },
                   "antetul declară 99 înregistrări, blocurile de date conțin 100"}),
    testsupport::ReadableName());

// With the refusals accepted, the rest of the company is written and the damaged table is
// created empty.
TEST_F(ImportTest, AcceptedDamagedFileLeavesItsTableEmpty) {
    const QString path = writeStock(30);
    patchFile(path, 0x06, u32(31));
    writeTable(
        file(QStringLiteral("VALUTA.DB")),
        {{"Cod_valuta", paradox::FieldCode::Alpha, 3}, {"Denumire", paradox::FieldCode::Alpha, 30}},
        {{QStringLiteral("RON"), QStringLiteral("Leu românesc")}});
    const paradox::ImportOutcome outcome = run(true);
    ASSERT_TRUE(outcome.written) << joined(outcome.refused);
    EXPECT_EQ(rows(QStringLiteral("Stoc.DB"), {QStringLiteral("Cod_articol")}).size(), 0);
    EXPECT_EQ(rows(QStringLiteral("VALUTA.DB"), {QStringLiteral("Denumire")}),
              (QList<QVariantList>{{QStringLiteral("Leu românesc")}}));
}

// Every prefix of a sound file is either refused or read whole; none is read past its end.
TEST(ParadoxLayout, EveryCutOfAFileIsRefusedAndNoneReadsPastItsEnd) {
    testsupport::TempDir dir;
    const QString path = dir.path() + QStringLiteral("/Grup.DB");
    QList<Row> rows;
    for (int i = 0; i < 60; ++i)
        rows << Row{QStringLiteral("301"), QStringLiteral("G%1").arg(i), QStringLiteral("Grupa ţ"),
                    QStringLiteral("301")};
    writeTable(path,
               {{"Cod_material", paradox::FieldCode::Alpha, 10},
                {"Cod_grupa", paradox::FieldCode::Alpha, 8},
                {"Denumire", paradox::FieldCode::Alpha, 100},
                {"Cont_sint", paradox::FieldCode::Alpha, 20}},
               rows);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    paradox::ParadoxLayout layout;
    QString why;
    ASSERT_TRUE(readParadoxLayout(reinterpret_cast<const unsigned char*>(whole.constData()),
                                  std::size_t(whole.size()), layout, why))
        << why.toStdString();
    EXPECT_EQ(layout.records, 60);
    for (qsizetype n = 0; n < whole.size(); ++n) {
        // A copy of exactly n bytes, so that the sanitizer sees any read past them.
        std::vector<unsigned char> cut(whole.begin(), whole.begin() + n);
        ASSERT_FALSE(readParadoxLayout(cut.data(), cut.size(), layout, why)) << n;
    }
}

// Changed bytes of the header and the first block: each file is refused or, when its layout
// still holds, opened and read value by value without a fault.
TEST(ParadoxLayout, ChangedBytesAreRefusedOrReadWithinTheFile) {
    testsupport::TempDir dir;
    const QString path = dir.path() + QStringLiteral("/Stoc.DB");
    QList<Row> rows;
    for (int i = 0; i < 40; ++i)
        rows << Row{QStringLiteral("G1"),
                    QStringLiteral("M%1").arg(i),
                    0.5 * i,
                    QDate(2024, 2, 29),
                    i % 2 == 0,
                    i};
    writeTable(path,
               {{"Cod_gestiune", paradox::FieldCode::Alpha, 4},
                {"Cod_articol", paradox::FieldCode::Alpha, 30},
                {"Cantitate", paradox::FieldCode::Number, 8},
                {"Data", paradox::FieldCode::Date, 4},
                {"Serii", paradox::FieldCode::Logical, 1},
                {"Contor", paradox::FieldCode::Short, 2}},
               rows);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    f.close();
    QRandomGenerator random(20261209);
    int refused = 0, read = 0;
    for (int round = 0; round < 400; ++round) {
        QByteArray changed = whole;
        const int changes = 1 + int(random.bounded(4));
        for (int c = 0; c < changes; ++c) {
            // Mostly the header's numbers and the first block's header.
            const qsizetype at =
                random.bounded(3) == 0 ? block(path, 1) + random.bounded(8) : random.bounded(0x100);
            changed[at] = char(random.bounded(256));
        }
        const QString copy = dir.path() + QStringLiteral("/copy.DB");
        QFile out(copy);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(changed);
        out.close();
        try {
            paradox::ParadoxTable table(copy);
            for (qint64 r = 0; r < table.recordCount(); ++r)
                for (qsizetype i = 0; i < table.fields().size(); ++i)
                    if (paradox::ParadoxTable::isDecoded(table.fields()[i].code))
                        (void)table.value(table.record(r), int(i));
            ++read;
        } catch (const paradox::FileRefused& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Fișierul "))) << e.what();
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(read, 0);
}

} // namespace
} // namespace pxtest
