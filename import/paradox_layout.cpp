#include "import/paradox_layout.h"

#include <vector>

namespace paradox {

namespace {

// Offsets in the header.
constexpr std::size_t kRecordSize = 0x00;
constexpr std::size_t kHeaderSize = 0x02;
constexpr std::size_t kFileType = 0x04;
constexpr std::size_t kBlockKilobytes = 0x05;
constexpr std::size_t kRecordCount = 0x06;
constexpr std::size_t kFileBlocks = 0x0C;
constexpr std::size_t kFirstBlock = 0x0E;
constexpr std::size_t kFieldCount = 0x21;
constexpr std::size_t kVersion = 0x39;
// The field descriptions (a type byte and a length byte each) start here in files of version
// 4 and later, and at kShortHeader in older ones.
constexpr std::size_t kLongHeader = 0x78;
constexpr std::size_t kShortHeader = 0x58;
// A data block starts with the next and previous block numbers and the offset of its last
// record.
constexpr int kBlockHeader = 6;

// File types of a data file: with a primary index, and without.
constexpr unsigned kIndexedData = 0;
constexpr unsigned kPlainData = 2;

unsigned u8(const unsigned char* p) {
    return p[0];
}
unsigned u16(const unsigned char* p) {
    return unsigned(p[0]) | unsigned(p[1]) << 8;
}
int s16(const unsigned char* p) {
    return int(std::int16_t(std::uint16_t(u16(p))));
}
std::uint32_t u32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

bool knownCode(unsigned code) {
    switch (FieldCode(code)) {
    case FieldCode::Alpha:
    case FieldCode::Date:
    case FieldCode::Short:
    case FieldCode::Long:
    case FieldCode::Currency:
    case FieldCode::Number:
    case FieldCode::Logical:
    case FieldCode::Memo:
    case FieldCode::Blob:
    case FieldCode::FormattedMemo:
    case FieldCode::Ole:
    case FieldCode::Graphic:
    case FieldCode::Time:
    case FieldCode::Timestamp:
    case FieldCode::AutoIncrement:
    case FieldCode::Bcd:
    case FieldCode::Bytes:
        return true;
    }
    return false;
}

// The length a field of this type takes, or 0 when the type's fields have a length of their own.
int fixedLength(FieldCode code) {
    switch (code) {
    case FieldCode::Date:
    case FieldCode::Long:
    case FieldCode::Time:
    case FieldCode::AutoIncrement:
        return 4;
    case FieldCode::Short:
        return 2;
    case FieldCode::Currency:
    case FieldCode::Number:
    case FieldCode::Timestamp:
        return 8;
    case FieldCode::Logical:
        return 1;
    case FieldCode::Bcd:
        return 17;
    default:
        return 0;
    }
}

bool isMemoLike(FieldCode code) {
    return code == FieldCode::Memo || code == FieldCode::Blob || code == FieldCode::FormattedMemo ||
           code == FieldCode::Ole || code == FieldCode::Graphic;
}

bool refuse(QString& reason, const QString& why) {
    reason = why;
    return false;
}

} // namespace

QString fieldCodeName(FieldCode code) {
    switch (code) {
    case FieldCode::Alpha:
        return QStringLiteral("text");
    case FieldCode::Date:
        return QStringLiteral("dată");
    case FieldCode::Short:
        return QStringLiteral("întreg scurt");
    case FieldCode::Long:
        return QStringLiteral("întreg");
    case FieldCode::Currency:
        return QStringLiteral("valoare monetară");
    case FieldCode::Number:
        return QStringLiteral("număr");
    case FieldCode::Logical:
        return QStringLiteral("logic");
    case FieldCode::Memo:
    case FieldCode::FormattedMemo:
        return QStringLiteral("memo");
    case FieldCode::Blob:
    case FieldCode::Ole:
    case FieldCode::Graphic:
        return QStringLiteral("binar");
    case FieldCode::Time:
        return QStringLiteral("oră");
    case FieldCode::Timestamp:
        return QStringLiteral("dată și oră");
    case FieldCode::AutoIncrement:
        return QStringLiteral("autoincrement");
    case FieldCode::Bcd:
        return QStringLiteral("zecimal BCD");
    case FieldCode::Bytes:
        return QStringLiteral("octeți");
    }
    return QStringLiteral("necunoscut");
}

bool readParadoxLayout(const unsigned char* data, std::size_t size, ParadoxLayout& layout,
                       QString& reason) {
    layout = ParadoxLayout();
    if (size < kLongHeader)
        return refuse(reason,
                      QStringLiteral("fișierul are %1 octeți, mai puțin decât un antet de tabelă "
                                     "Paradox; este trunchiat sau nu este o tabelă")
                          .arg(size));
    const unsigned fileType = u8(data + kFileType);
    if (fileType != kIndexedData && fileType != kPlainData)
        return refuse(reason,
                      QStringLiteral("antetul nu este al unei tabele de date Paradox (tipul de "
                                     "fișier %1)")
                          .arg(fileType));
    const unsigned version = u8(data + kVersion);
    if (version < 3 || version > 12)
        return refuse(
            reason, QStringLiteral("antetul are versiunea de format necunoscută %1").arg(version));
    layout.fileVersion = int(version);
    layout.recordSize = int(u16(data + kRecordSize));
    layout.headerSize = int(u16(data + kHeaderSize));
    const unsigned kilobytes = u8(data + kBlockKilobytes);
    if (kilobytes != 1 && kilobytes != 2 && kilobytes != 3 && kilobytes != 4 && kilobytes != 8 &&
        kilobytes != 16 && kilobytes != 32)
        return refuse(
            reason, QStringLiteral("antetul are o mărime de bloc nevalidă (%1 KB)").arg(kilobytes));
    layout.blockSize = int(kilobytes) * 1024;
    const std::size_t fieldsAt = version >= 5 ? kLongHeader : kShortHeader;
    if (std::size_t(layout.headerSize) < fieldsAt)
        return refuse(
            reason,
            QStringLiteral("antetul declară mărimea nevalidă de %1 octeți").arg(layout.headerSize));
    if (std::size_t(layout.headerSize) > size)
        return refuse(reason, QStringLiteral("fișierul este trunchiat: antetul declară %1 "
                                             "octeți, fișierul are %2")
                                  .arg(layout.headerSize)
                                  .arg(size));
    if (layout.recordSize <= 0)
        return refuse(reason, QStringLiteral("antetul declară înregistrări de 0 octeți"));
    if (layout.recordSize > layout.blockSize - kBlockHeader)
        return refuse(reason,
                      QStringLiteral("înregistrarea de %1 octeți nu încape într-un bloc de %2")
                          .arg(layout.recordSize)
                          .arg(layout.blockSize));

    // The fields.
    const unsigned fieldCount = u16(data + kFieldCount);
    if (fieldCount == 0)
        return refuse(reason, QStringLiteral("antetul nu declară niciun câmp"));
    if (fieldsAt + 2 * std::size_t(fieldCount) > std::size_t(layout.headerSize))
        return refuse(reason, QStringLiteral("antetul declară %1 câmpuri, mai multe decât "
                                             "încap în el")
                                  .arg(fieldCount));
    int offset = 0;
    for (unsigned i = 0; i < fieldCount; ++i) {
        const unsigned char* d = data + fieldsAt + 2 * i;
        const unsigned code = u8(d);
        const int length = int(u8(d + 1));
        if (!knownCode(code))
            return refuse(reason, QStringLiteral("câmpul %1 are tipul necunoscut 0x%2")
                                      .arg(i + 1)
                                      .arg(code, 2, 16, QLatin1Char('0')));
        const FieldCode fc = FieldCode(code);
        const int fixed = fixedLength(fc);
        if (fixed > 0 && length != fixed)
            return refuse(reason, QStringLiteral("câmpul %1 (%2) are lungimea %3 în loc de %4")
                                      .arg(i + 1)
                                      .arg(fieldCodeName(fc))
                                      .arg(length)
                                      .arg(fixed));
        if (fixed == 0 && (length == 0 || (isMemoLike(fc) && length < 10)))
            return refuse(reason, QStringLiteral("câmpul %1 (%2) are lungimea nevalidă %3")
                                      .arg(i + 1)
                                      .arg(fieldCodeName(fc))
                                      .arg(length));
        if (offset + length > layout.recordSize)
            return refuse(reason, QStringLiteral("câmpul %1 (%2, %3 octeți) trece de capătul "
                                                 "înregistrării de %4 octeți")
                                      .arg(i + 1)
                                      .arg(fieldCodeName(fc))
                                      .arg(length)
                                      .arg(layout.recordSize));
        layout.fields.append(LayoutField{fc, length, offset});
        offset += length;
    }
    if (offset != layout.recordSize)
        return refuse(reason, QStringLiteral("înregistrarea declarată de %1 octeți nu este suma "
                                             "lungimilor câmpurilor (%2 octeți)")
                                  .arg(layout.recordSize)
                                  .arg(offset));
    // Every field name must end inside the header.
    unsigned zeros = 0;
    for (std::size_t i = fieldsAt + 2 * std::size_t(fieldCount);
         i < std::size_t(layout.headerSize) && zeros < fieldCount + 1; ++i)
        zeros += data[i] == 0;
    if (zeros < fieldCount + 1)
        return refuse(reason, QStringLiteral("numele câmpurilor nu se termină în antet"));

    // The data blocks.
    const unsigned fileBlocks = u16(data + kFileBlocks);
    const std::size_t blocksEnd =
        std::size_t(layout.headerSize) + std::size_t(fileBlocks) * std::size_t(layout.blockSize);
    if (blocksEnd > size)
        return refuse(reason, QStringLiteral("fișierul este trunchiat: antetul declară %1 "
                                             "blocuri (%2 octeți), fișierul are %3 octeți")
                                  .arg(fileBlocks)
                                  .arg(blocksEnd)
                                  .arg(size));
    const std::uint32_t claimed = u32(data + kRecordCount);
    qint64 held = 0;
    std::vector<bool> visited(std::size_t(fileBlocks) + 1, false);
    unsigned block = u16(data + kFirstBlock);
    unsigned previous = 0;
    while (block != 0) {
        if (block > fileBlocks)
            return refuse(reason,
                          previous == 0
                              ? QStringLiteral("primul bloc de date (%1) este dincolo de capătul "
                                               "fișierului, care are %2 blocuri")
                                    .arg(block)
                                    .arg(fileBlocks)
                              : QStringLiteral("blocul %1 trimite la blocul %2, dincolo de "
                                               "capătul fișierului, care are %3 blocuri")
                                    .arg(previous)
                                    .arg(block)
                                    .arg(fileBlocks));
        if (visited[block])
            return refuse(
                reason, QStringLiteral("lanțul blocurilor de date revine la blocul %1").arg(block));
        visited[block] = true;
        const std::size_t at =
            std::size_t(layout.headerSize) + std::size_t(block - 1) * std::size_t(layout.blockSize);
        const unsigned char* b = data + at;
        const int lastRecord = s16(b + 4);
        int records = 0;
        if (lastRecord >= 0) {
            if (lastRecord % layout.recordSize != 0)
                return refuse(reason, QStringLiteral("blocul %1 are un sfârșit de date (%2) care "
                                                     "nu cade la capăt de înregistrare")
                                          .arg(block)
                                          .arg(lastRecord));
            records = lastRecord / layout.recordSize + 1;
            if (kBlockHeader + qint64(records) * layout.recordSize > layout.blockSize)
                return refuse(reason, QStringLiteral("blocul %1 declară %2 înregistrări, mai "
                                                     "multe decât încap în el")
                                          .arg(block)
                                          .arg(records));
        }
        layout.blocks.append(LayoutBlock{at + kBlockHeader, records});
        held += records;
        previous = block;
        block = u16(b);
    }
    if (qint64(claimed) != held)
        return refuse(reason,
                      qint64(claimed) > held
                          ? QStringLiteral("antetul declară %1 înregistrări, blocurile de date "
                                           "conțin doar %2")
                                .arg(claimed)
                                .arg(held)
                          : QStringLiteral("antetul declară %1 înregistrări, blocurile de date "
                                           "conțin %2")
                                .arg(claimed)
                                .arg(held));
    layout.records = held;
    return true;
}

} // namespace paradox
