// The component stream: what the writer puts into the bytes, read back by an independent reader,
// over a file stream that keeps its name.
#include "component_reader.h"

#include "platform/base/errors.h"
#include "platform/ui/component_writer.h"
#include "platform/ui/file_stream.h"
#include "tests/support/readable_name.h"
#include "tests/support/temp_dir.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace ui;

namespace {

QByteArray written(const ComponentRecord& record) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ComponentWriter(buffer).writeRecord(record);
    return buffer.data();
}

QByteArray writtenValue(const StoredValue& value) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ComponentWriter(buffer).writeValue(value);
    return buffer.data();
}

TEST(ComponentWriterTest, WrapperRecordHasTheExpectedBytes) {
    const ComponentRecord wrapper{"TObjectWrapper", "", {{"CurrentClassName", "0"}}, {}};
    const QByteArray expected = QByteArrayLiteral("TPF0\x0eTObjectWrapper\x00"
                                                  "\x10"
                                                  "CurrentClassName\x06\x01"
                                                  "0\x00\x00");
    EXPECT_EQ(written(wrapper), expected);
}

struct IntegerCase {
    qint64 value;
    ValueType tag;
    int size;
};

void PrintTo(const IntegerCase& c, std::ostream* os) {
    *os << c.value;
}

class IntegerSize : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerSize, UsesTheSmallestTag) {
    const QByteArray bytes = writtenValue(GetParam().value);
    ASSERT_EQ(bytes.size(), 1 + GetParam().size);
    EXPECT_EQ(ValueType(bytes.at(0)), GetParam().tag);
}

INSTANTIATE_TEST_SUITE_P(Stream, IntegerSize,
                         ::testing::Values(IntegerCase{0, ValueType::Int8, 1},
                                           IntegerCase{-128, ValueType::Int8, 1},
                                           IntegerCase{127, ValueType::Int8, 1},
                                           IntegerCase{128, ValueType::Int16, 2},
                                           IntegerCase{-32768, ValueType::Int16, 2},
                                           IntegerCase{32768, ValueType::Int32, 4},
                                           IntegerCase{-2147483648LL, ValueType::Int32, 4},
                                           IntegerCase{2147483648LL, ValueType::Int64, 8}),
                         testsupport::ReadableName());

TEST(ComponentWriterTest, RecordReadsBackWithEveryKindOfValue) {
    const StoredProperties column{{"Expanded", false},
                                  {"FieldName", "Denumire"},
                                  {"Title.Caption", "Denumire materie primă şi ţară"},
                                  {"Title.Font.Style", SetValue{{"fsBold", "fsItalic"}}},
                                  {"Width", 500},
                                  {"Color", Ident{"clBtnFace"}}};
    ComponentRecord record{"TObjectWrapper",
                           "Wrapper1",
                           {{"WrappedPersistent", CollectionValue{{column, {{"Width", 64}}}}},
                            {"Items.Strings", ListValue{{"Grupa;Cod", "Grupa;Denumire"}}},
                            {"Ratio", 0.125},
                            {"Picture", QByteArray("\x00\x01\xff", 3)},
                            {"Note", QString(300, QLatin1Char('x'))},
                            {"Scale", qint64(1) << 40},
                            {"Link", StoredValue()}},
                           {{"TMenuItem", "N1", {{"Caption", "-"}}, {}}}};
    const QByteArray bytes = written(record);
    testsupport::ComponentReader reader(bytes);
    const ComponentRecord read = reader.readRecord();
    EXPECT_TRUE(reader.atEnd());

    // ş and ţ are the code page's own letters; ă and î are there too.
    EXPECT_EQ(read, record);
    EXPECT_TRUE(bytes.contains("materie prim\xe3 \xba"));
}

TEST(ComponentWriterTest, CommaBelowLettersAreStoredAsCedillas) {
    const QByteArray bytes =
        written({"TLabel", "Label1", {{"Caption", "Configurări producţie ș"}}, {}});
    const ComponentRecord read = testsupport::ComponentReader(bytes).readRecord();
    EXPECT_EQ(read.properties.at(0).value, StoredValue("Configurări producţie ş"));
}

TEST(ComponentWriterTest, SpecialIdentifiersGetTheirOwnTags) {
    EXPECT_EQ(writtenValue(Ident{"True"}), QByteArray(1, char(ValueType::True)));
    EXPECT_EQ(writtenValue(Ident{"false"}), QByteArray(1, char(ValueType::False)));
    EXPECT_EQ(writtenValue(Ident{"nil"}), QByteArray(1, char(ValueType::Nil)));
    EXPECT_EQ(writtenValue(Ident{"taLeftJustify"}), QByteArray("\x07\x0dtaLeftJustify"));
}

TEST(ComponentWriterTest, TextOutsideTheCodePageIsRefused) {
    EXPECT_THROW(written({"TLabel", "Label1", {{"Caption", "中"}}, {}}), base::ConversionError);
}

class ExtendedValue : public ::testing::TestWithParam<double> {};

TEST_P(ExtendedValue, ReadsBackExactly) {
    const double value = GetParam();
    const auto bytes = toExtended(value);
    const QByteArray raw(reinterpret_cast<const char*>(bytes.data()), 10);
    EXPECT_EQ(testsupport::fromExtended(raw), value);
    EXPECT_EQ(std::signbit(testsupport::fromExtended(raw)), std::signbit(value));
#if defined(__x86_64__) || defined(__i386__)
    // The x87 long double is the same format: a second, independent reading.
    long double native = 0;
    std::memcpy(&native, bytes.data(), 10);
    EXPECT_EQ(native, static_cast<long double>(value));
#endif
}

INSTANTIATE_TEST_SUITE_P(Stream, ExtendedValue,
                         ::testing::Values(0.0, -0.0, 1.0, -2.5, 0.1, 19.0, 1e300,
                                           std::numeric_limits<double>::denorm_min(),
                                           -std::numeric_limits<double>::infinity()),
                         testsupport::ReadableName());

TEST(ComponentWriterTest, OneHasTheExtendedBitPattern) {
    const auto bytes = toExtended(1.0);
    const std::array<std::uint8_t, 10> expected{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
    EXPECT_EQ(bytes, expected);
}

TEST(FileStreamTest, KeepsItsNameAndOverwritesFromTheStartWithoutShortening) {
    testsupport::TempDir dir;
    const QString name = dir.path() + QStringLiteral("/catlook.cfg");
    {
        FileStream create(name, FileStream::Mode::Create);
        create.writeBuffer(QByteArray(100, 'z'));
    }
    FileStream stream(name, FileStream::Mode::OpenReadWrite);
    EXPECT_EQ(stream.fileName(), name);
    stream.seek(0);
    ComponentWriter(stream.device())
        .writeRecord({"TObjectWrapper", "", {{"CurrentClassName", "0"}}, {}});
    EXPECT_EQ(stream.size(), 100);

    stream.seek(0);
    const QByteArray content = stream.readBuffer(100);
    testsupport::ComponentReader reader(content);
    EXPECT_EQ(reader.readRecord().className, QStringLiteral("TObjectWrapper"));
    EXPECT_EQ(content.mid(reader.position()), QByteArray(100 - reader.position(), 'z'));
    EXPECT_THROW(stream.readBuffer(1), StreamError);
}

TEST(FileStreamTest, MissingFileIsAStreamErrorNamingIt) {
    testsupport::TempDir dir;
    const QString name = dir.path() + QStringLiteral("/missing.cfg");
    try {
        FileStream stream(name, FileStream::Mode::OpenReadWrite);
        FAIL() << "opened a missing file";
    } catch (const StreamError& error) {
        EXPECT_TRUE(
            error.message().startsWith(QStringLiteral("Cannot open file \"%1\"").arg(name)));
    }
    EXPECT_THROW(
        FileStream(dir.path() + QStringLiteral("/no/such/dir/x"), FileStream::Mode::Create),
        StreamError);
}

} // namespace
