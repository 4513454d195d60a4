#include "platform/ui/file_stream.h"

namespace ui {

FileStream::FileStream(const QString& fileName, Mode mode)
    : m_fileName(fileName), m_file(fileName) {
    bool opened = false;
    switch (mode) {
    case Mode::Create:
        opened = m_file.open(QIODevice::ReadWrite | QIODevice::Truncate);
        break;
    case Mode::OpenRead:
        opened = m_file.open(QIODevice::ReadOnly);
        break;
    case Mode::OpenReadWrite:
        opened = m_file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
        break;
    }
    if (!opened)
        throw StreamError(
            QStringLiteral("Cannot %1 file \"%2\". %3")
                .arg(mode == Mode::Create ? QStringLiteral("create") : QStringLiteral("open"),
                     fileName, m_file.errorString()));
}

void FileStream::seek(qint64 position) {
    if (!m_file.seek(position))
        throw StreamError(QStringLiteral("Stream seek error"));
}

void FileStream::writeBuffer(const QByteArray& bytes) {
    if (m_file.write(bytes) != bytes.size())
        throw StreamError(QStringLiteral("Stream write error"));
}

QByteArray FileStream::readBuffer(qint64 count) {
    QByteArray bytes = m_file.read(count);
    if (bytes.size() != count)
        throw StreamError(QStringLiteral("Stream read error"));
    return bytes;
}

} // namespace ui
