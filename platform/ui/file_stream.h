#pragma once
// A file opened as a byte stream that keeps the name it was opened with. A file that cannot be
// opened or created, and a read or write that cannot be completed, throw StreamError.
#include "platform/base/errors.h"

#include <QFile>

namespace ui {

class StreamError : public base::Error {
public:
    using Error::Error;
};

class FileStream {
public:
    enum class Mode {
        Create,        // a new empty file, replacing one of that name
        OpenRead,      // an existing file, for reading
        OpenReadWrite, // an existing file, for reading and writing, its content kept
    };

    FileStream(const QString& fileName, Mode mode);

    const QString& fileName() const { return m_fileName; }
    QIODevice& device() { return m_file; }

    qint64 position() const { return m_file.pos(); }
    void seek(qint64 position);
    qint64 size() const { return m_file.size(); }
    void writeBuffer(const QByteArray& bytes);
    QByteArray readBuffer(qint64 count);

private:
    QString m_fileName;
    QFile m_file;
};

} // namespace ui
