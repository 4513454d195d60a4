// The Paradox data file reader of the company import. The input is a file's bytes. Rules: the
// layout check either refuses the bytes with a reason or answers a layout that keeps every
// promise it makes (header, blocks and records inside the bytes, fields filling the record,
// the chain's records as many as the header says); a file it accepts is then opened by the
// reader, which either refuses it with the file's name or reads every value of every record
// without leaving the file's bytes (the sanitizer watches that part).
#include "import/paradox_layout.h"
#include "import/paradox_table.h"
#include "tests/fuzz/fuzz_check.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

namespace {

void checkPromises(const paradox::ParadoxLayout& layout, std::size_t size) {
    const QString what = QStringLiteral("%1 bytes").arg(size);
    FUZZ_CHECK(layout.headerSize > 0 && std::size_t(layout.headerSize) <= size, what);
    FUZZ_CHECK(layout.recordSize > 0 && layout.blockSize > 0, what);
    int end = 0;
    for (const paradox::LayoutField& field : layout.fields) {
        FUZZ_CHECK(field.length > 0 && field.offset == end, what);
        end += field.length;
    }
    FUZZ_CHECK(end == layout.recordSize, what);
    qint64 records = 0;
    QSet<std::size_t> seen;
    for (const paradox::LayoutBlock& block : layout.blocks) {
        FUZZ_CHECK(!seen.contains(block.offset), what);
        seen.insert(block.offset);
        FUZZ_CHECK(block.records >= 0, what);
        FUZZ_CHECK(block.offset + std::size_t(block.records) * std::size_t(layout.recordSize) <=
                       size,
                   what);
        records += block.records;
    }
    FUZZ_CHECK(records == layout.records, what);
}

// One file name for the process, rewritten for every input: the reader takes a path.
const QString& scratchFile() {
    static QTemporaryDir dir;
    static const QString path = dir.path() + QStringLiteral("/STOC.DB");
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    paradox::ParadoxLayout layout;
    QString reason;
    if (!paradox::readParadoxLayout(data, size, layout, reason)) {
        FUZZ_CHECK(!reason.isEmpty(), QStringLiteral("refused without a reason"));
        return 0;
    }
    checkPromises(layout, size);

    {
        QFile file(scratchFile());
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate), scratchFile());
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    try {
        const paradox::ParadoxTable table(scratchFile());
        FUZZ_CHECK(table.recordCount() == layout.records, QStringLiteral("record count"));
        for (qint64 i = 0; i < table.recordCount(); ++i) {
            const unsigned char* record = table.record(i);
            for (int f = 0; f < table.fields().size(); ++f) {
                const QVariant value = table.value(record, f);
                if (!paradox::ParadoxTable::holdsData(record, table.fields()[f]))
                    FUZZ_CHECK(value.isNull(), QStringLiteral("an empty field has a value"));
            }
        }
    } catch (const paradox::FileRefused& refused) {
        FUZZ_CHECK(refused.message().contains(QStringLiteral("STOC.DB")), refused.message());
    }
    return 0;
}
