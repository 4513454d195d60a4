// The layout file: objects written as wrapper records from the start of the file, the file ending
// where the records end.
#include "component_reader.h"

#include "common/custom_file_straam.h"
#include "common/object_wrapper.h"
#include "platform/ui/component.h"
#include "platform/ui/file_stream.h"
#include "tests/support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

using ui::CollectionValue;
using ui::StoredProperties;

namespace {

// A collection of column-like items, each stored with its field name and width.
class Columns : public TPersistent {
public:
    explicit Columns(std::vector<std::pair<QString, int>> items) : m_items(std::move(items)) {}
    void storeAs(const QString& name, StoredProperties& out) const override {
        CollectionValue value;
        for (const auto& [field, width] : m_items)
            value.items.push_back(
                {{QStringLiteral("FieldName"), field}, {QStringLiteral("Width"), width}});
        out.push_back({name, value});
    }

private:
    std::vector<std::pair<QString, int>> m_items;
};

QByteArray contentOf(const QString& name) {
    QFile file(name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

class LayoutFile : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    QString name = dir.path() + QStringLiteral("/catlook.cfg");
    Columns groups{{{QStringLiteral("Cod_grupa"), 64}, {QStringLiteral("Denumire"), 200}}};
    Columns articles{{{QStringLiteral("Cod"), 80}, {QStringLiteral("Denumire"), 300}}};
};

TEST_F(LayoutFile, OverALongerFileHoldsExactlyTheTwoRecords) {
    {
        QFile old(name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'z'));
    }
    TCustomFileStraam stream(name);
    EXPECT_EQ(stream.fileName(), name);
    EXPECT_TRUE(stream.SaveObjects({&groups, &articles}));

    testsupport::ComponentReader reader(contentOf(name));
    const ui::ComponentRecord first = reader.readRecord();
    const ui::ComponentRecord second = reader.readRecord();
    EXPECT_TRUE(reader.atEnd()) << "nothing of the old file after the records";

    StoredProperties expected;
    groups.storeAs(QStringLiteral("WrappedPersistent"), expected);
    expected.push_back({QStringLiteral("CurrentClassName"), QStringLiteral("0")});
    EXPECT_EQ(first,
              (ui::ComponentRecord{QStringLiteral("TObjectWrapper"), QString(), expected, {}}));
    EXPECT_EQ(second.properties.back(),
              (ui::StoredProperty{QStringLiteral("CurrentClassName"), QStringLiteral("1")}));
    StoredProperties articleProperties;
    articles.storeAs(QStringLiteral("WrappedPersistent"), articleProperties);
    EXPECT_EQ(second.properties.front(), articleProperties.front());

    // A second, shorter save through the same stream leaves only its own record.
    EXPECT_TRUE(stream.SaveObjects({&articles}));
    testsupport::ComponentReader again(contentOf(name));
    EXPECT_EQ(again.readRecord().properties.front(), articleProperties.front());
    EXPECT_TRUE(again.atEnd());
}

TEST_F(LayoutFile, AMissingFileIsCreatedAndAComponentIsWrittenByName) {
    ui::Component grid;
    grid.setName(QStringLiteral("CatGrid"));
    TCustomFileStraam stream(name);
    EXPECT_TRUE(stream.SaveObjects({static_cast<const QObject*>(&grid)}));
    testsupport::ComponentReader reader(contentOf(name));
    const ui::ComponentRecord record = reader.readRecord();
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(record.properties,
              (StoredProperties{
                  {QStringLiteral("WrappedComponent"), ui::Ident{QStringLiteral("CatGrid")}},
                  {QStringLiteral("CurrentClassName"), QStringLiteral("0")}}));
}

TEST_F(LayoutFile, AFailedWriteIsSilentAndFalse) {
    // A title outside the code page cannot be written.
    Columns bad{{{QStringLiteral("Denumire \u4e2d"), 10}}};
    TCustomFileStraam stream(name);
    EXPECT_FALSE(stream.SaveObjects({&groups, &bad}));
    EXPECT_TRUE(stream.SaveObjects({}));
    EXPECT_EQ(contentOf(name).size(), 0) << "an empty list leaves an empty file";
}

TEST_F(LayoutFile, AFileThatCannotBeCreatedIsAStreamError) {
    EXPECT_THROW(TCustomFileStraam(dir.path() + QStringLiteral("/no/such/dir/catlook.cfg")),
                 ui::StreamError);
}

TEST(ObjectWrapper, HoldsAtMostOneReference) {
    Columns columns{{}};
    ui::Component component;
    TObjectWrapper wrapper;
    wrapper.setWrappedComponent(&component);
    wrapper.setWrappedPersistent(&columns);
    EXPECT_EQ(wrapper.wrappedComponent(), nullptr);
    wrapper.setWrappedComponent(&component);
    EXPECT_EQ(wrapper.wrappedPersistent(), nullptr);
}

} // namespace
