#include "import/paradox_table.h"

#include "platform/base/cp1250.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <mutex>
extern "C" {
#include <paradox.h>
}

namespace paradox {

namespace {

// The library reports its errors through this handler; the last one is kept for the refusal.
void keepError(pxdoc_t*, int, const char* message, void* data) {
    if (data && message)
        *static_cast<QString*>(data) = QString::fromLocal8Bit(message).trimmed();
}

void bootLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { PX_boot(); });
}

} // namespace

FileRefused::FileRefused(QString message)
    : m_message(std::move(message)), m_utf8(m_message.toUtf8().toStdString()) {}

QString ParadoxTable::refusal(const QString& why) const {
    return QStringLiteral("Fișierul %1: %2.").arg(QDir::toNativeSeparators(m_path), why);
}

ParadoxTable::ParadoxTable(const QString& path) : m_path(path), m_file(path) {
    static const unsigned char kNothing = 0;
    if (!m_file.open(QIODevice::ReadOnly))
        throw FileRefused(
            refusal(QStringLiteral("nu poate fi citit (%1)").arg(m_file.errorString())));
    m_size = std::size_t(m_file.size());
    m_data = m_size > 0 ? m_file.map(0, qint64(m_size)) : &kNothing;
    if (!m_data)
        throw FileRefused(
            refusal(QStringLiteral("nu poate fi citit (%1)").arg(m_file.errorString())));
    QString why;
    if (!readParadoxLayout(m_data, m_size, m_layout, why))
        throw FileRefused(refusal(why));

    // The library reads the checked bytes, not the file again: what it sees is what was checked.
    bootLibrary();
    QString libraryError;
    m_doc = PX_new3(keepError, nullptr, nullptr, nullptr, &libraryError);
    m_stream = fmemopen(const_cast<unsigned char*>(m_data), m_size, "rb");
    if (!m_doc || !m_stream || PX_open_fp(m_doc, m_stream) < 0) {
        const QString detail =
            libraryError.isEmpty() ? QStringLiteral("antet necunoscut") : libraryError;
        // A failed opening has already released part of the document; releasing the rest
        // would free it twice, so the little that is left is left.
        if (m_doc && !m_stream)
            PX_delete(m_doc);
        m_doc = nullptr;
        if (m_stream)
            std::fclose(m_stream);
        m_stream = nullptr;
        throw FileRefused(
            refusal(QStringLiteral("biblioteca Paradox nu l-a putut deschide: %1").arg(detail)));
    }
    const int count = PX_get_num_fields(m_doc);
    pxfield_t* fields = PX_get_fields(m_doc);
    if (count != m_layout.fields.size() || !fields ||
        PX_get_recordsize(m_doc) != m_layout.recordSize ||
        qint64(PX_get_num_records(m_doc)) != m_layout.records)
        throw FileRefused(
            refusal(QStringLiteral("antetul este citit diferit de biblioteca Paradox")));
    for (int i = 0; i < count; ++i) {
        const LayoutField& f = m_layout.fields[i];
        if (unsigned(static_cast<unsigned char>(fields[i].px_ftype)) != unsigned(f.code) ||
            fields[i].px_flen != f.length || !fields[i].px_fname)
            throw FileRefused(refusal(
                QStringLiteral("câmpul %1 este citit diferit de biblioteca Paradox").arg(i + 1)));
        m_fields.append(
            Field{base::cp1250::decode(fields[i].px_fname, int(std::strlen(fields[i].px_fname))),
                  f.code, f.length, f.offset});
    }
    qint64 running = 0;
    for (const LayoutBlock& b : m_layout.blocks) {
        m_firstRecordOfBlock.push_back(running);
        running += b.records;
    }
}

ParadoxTable::~ParadoxTable() {
    if (m_doc) {
        PX_close(m_doc);
        PX_delete(m_doc);
    }
    if (m_stream)
        std::fclose(m_stream);
}

const unsigned char* ParadoxTable::record(qint64 i) const {
    Q_ASSERT(i >= 0 && i < m_layout.records);
    const auto next = std::upper_bound(m_firstRecordOfBlock.begin(), m_firstRecordOfBlock.end(), i);
    // Blocks that hold no records share their running total with the next one: take the last
    // block that starts at or before i and holds it.
    std::size_t b = std::size_t(next - m_firstRecordOfBlock.begin()) - 1;
    while (i - m_firstRecordOfBlock[b] >= m_layout.blocks[qsizetype(b)].records)
        ++b;
    const LayoutBlock& block = m_layout.blocks[qsizetype(b)];
    return m_data + block.offset +
           std::size_t(i - m_firstRecordOfBlock[b]) * std::size_t(m_layout.recordSize);
}

bool ParadoxTable::isDecoded(FieldCode code) {
    switch (code) {
    case FieldCode::Alpha:
    case FieldCode::Date:
    case FieldCode::Short:
    case FieldCode::Long:
    case FieldCode::AutoIncrement:
    case FieldCode::Currency:
    case FieldCode::Number:
    case FieldCode::Logical:
        return true;
    default:
        return false;
    }
}

bool ParadoxTable::holdsData(const unsigned char* record, const Field& field) {
    const unsigned char* p = record + field.offset;
    return std::any_of(p, p + field.length, [](unsigned char c) { return c != 0; });
}

QVariant ParadoxTable::value(const unsigned char* record, int field) const {
    const Field& f = m_fields[field];
    // An empty field is all zero bytes, whatever its type (the long decoder would read it as
    // the smallest long).
    if (!holdsData(record, f))
        return QVariant();
    // The decoders take a non-const pointer but only read the field's bytes.
    char* p = reinterpret_cast<char*>(const_cast<unsigned char*>(record + f.offset));
    switch (f.code) {
    case FieldCode::Alpha: {
        const auto* end = static_cast<const char*>(std::memchr(p, 0, std::size_t(f.length)));
        const int n = end ? int(end - p) : f.length;
        return n == 0 ? QVariant() : QVariant(QByteArray(p, n));
    }
    case FieldCode::Number:
    case FieldCode::Currency: {
        double d = 0;
        return PX_get_data_double(m_doc, p, f.length, &d) > 0 ? QVariant(d) : QVariant();
    }
    case FieldCode::Short: {
        short s = 0;
        return PX_get_data_short(m_doc, p, f.length, &s) > 0 ? QVariant(qint64(s)) : QVariant();
    }
    case FieldCode::Long:
    case FieldCode::AutoIncrement:
    case FieldCode::Date: {
        long l = 0;
        return PX_get_data_long(m_doc, p, f.length, &l) > 0 ? QVariant(qint64(l)) : QVariant();
    }
    case FieldCode::Logical: {
        char c = 0;
        return PX_get_data_byte(m_doc, p, f.length, &c) > 0 ? QVariant(c != 0) : QVariant();
    }
    default:
        return QVariant();
    }
}

} // namespace paradox
