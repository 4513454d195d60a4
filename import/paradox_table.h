#pragma once
// A Paradox data file opened for reading: its bytes mapped, their layout checked
// (paradox_layout.h) before the reading library is given them, then the library's own reading
// of the header (the field names) compared with the checked layout. Records are read from the
// checked blocks only, and each field's bytes are decoded by the library's value decoders, so
// no read leaves the file's bytes whatever they hold.
#include "import/paradox_layout.h"

#include <QFile>
#include <QList>
#include <QString>
#include <QVariant>

#include <cstdio>
#include <memory>
#include <vector>

struct px_doc;

namespace paradox {

// A file that is not a sound Paradox data file; message() names the file and what is wrong.
class FileRefused : public std::exception {
public:
    explicit FileRefused(QString message);
    const char* what() const noexcept override { return m_utf8.c_str(); }
    const QString& message() const { return m_message; }

private:
    QString m_message;
    std::string m_utf8;
};

class ParadoxTable {
public:
    struct Field {
        QString name;
        FieldCode code = FieldCode::Alpha;
        int length = 0;
        int offset = 0;
    };

    // Opens and checks the file; throws FileRefused.
    explicit ParadoxTable(const QString& path);
    ~ParadoxTable();
    ParadoxTable(const ParadoxTable&) = delete;
    ParadoxTable& operator=(const ParadoxTable&) = delete;

    const QString& path() const { return m_path; }
    const QList<Field>& fields() const { return m_fields; }
    qint64 recordCount() const { return m_layout.records; }

    // The bytes of record i (0 <= i < recordCount()), in file order; recordSize() bytes long.
    const unsigned char* record(qint64 i) const;
    int recordSize() const { return m_layout.recordSize; }

    // The value of a field of a record as the file holds it, a null QVariant for an empty one:
    // text as its code page 1250 bytes (QByteArray, up to the first zero byte), numbers and
    // money as double, short, long and autoincrement as qint64, dates as the count of days
    // from 1 January of year 1 (day 1) as qint64, logicals as bool. Other types (memo, binary,
    // time, BCD, bytes) are not decoded (isDecoded); their value is a null QVariant.
    QVariant value(const unsigned char* record, int field) const;
    static bool isDecoded(FieldCode code);
    // True when the field holds something (any byte other than zero).
    static bool holdsData(const unsigned char* record, const Field& field);

private:
    QString refusal(const QString& why) const;

    QString m_path;
    QFile m_file;
    const unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
    ParadoxLayout m_layout;
    QList<Field> m_fields;
    std::vector<qint64> m_firstRecordOfBlock; // running total, one per block
    std::FILE* m_stream = nullptr;
    px_doc* m_doc = nullptr;
};

} // namespace paradox
