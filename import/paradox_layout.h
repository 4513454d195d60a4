#pragma once
// The layout of a Paradox data file (.DB), read from its bytes and checked against their size
// before the reading library sees them: that library trusts every number of a file's header,
// so a truncated or damaged file would make it read outside its buffers.
//
// readParadoxLayout is the whole of the checking: it looks only at the bytes it is given,
// never reads past them, and answers either a layout whose every offset lies inside the bytes
// or the reason the file is refused. What it promises when it answers true:
//   - the header (headerSize bytes) and every data block the header counts (fileBlocks) lie
//     inside the bytes;
//   - the fields are of known types, of the lengths their types take, and their lengths add
//     up to the record size; each field lies inside the record; the header holds a zero byte
//     for each field name after the field descriptions, so that every name ends inside it;
//   - the chain of data blocks from the first block visits each block once, every block it
//     names lies inside the file, and the records each block says it holds fit in the block;
//   - the records of the chain are exactly as many as the header says.
#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace paradox {

// Field type codes as the file stores them.
enum class FieldCode : std::uint8_t {
    Alpha = 0x01,
    Date = 0x02,
    Short = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Number = 0x06,
    Logical = 0x09,
    Memo = 0x0C,
    Blob = 0x0D,
    FormattedMemo = 0x0E,
    Ole = 0x0F,
    Graphic = 0x10,
    Time = 0x14,
    Timestamp = 0x15,
    AutoIncrement = 0x16,
    Bcd = 0x17,
    Bytes = 0x18,
};

// A name for a person: "text", "dată", "număr"...
QString fieldCodeName(FieldCode code);

struct LayoutField {
    FieldCode code = FieldCode::Alpha;
    int length = 0; // bytes in the record
    int offset = 0; // from the start of the record
};

struct LayoutBlock {
    std::size_t offset = 0; // of the block's first record, from the start of the file
    int records = 0;
};

struct ParadoxLayout {
    int recordSize = 0;
    int headerSize = 0;
    int blockSize = 0;
    int fileVersion = 0; // the header's version byte (3 to 12)
    qint64 records = 0;
    QList<LayoutField> fields;
    QList<LayoutBlock> blocks; // in the order of the chain
};

// Reads and checks the layout of the file's bytes. Answers false with the reason (a sentence
// in Romanian, without the file's name) when the file is not a sound Paradox data file.
bool readParadoxLayout(const unsigned char* data, std::size_t size, ParadoxLayout& layout,
                       QString& reason);

} // namespace paradox
