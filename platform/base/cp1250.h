#pragma once
// Code page 1250 text: the 8-bit encoding in which the system stores and exchanges text.
// The Romanian comma-below letters (ș ț Ș Ț) are not in the code page and are stored as
// their cedilla forms (ş ţ Ş Ţ); any other character outside it is refused.
#include <QByteArray>
#include <QString>

namespace base::cp1250 {

// Maps ș ț Ș Ț to ş ţ Ş Ţ and leaves every other character as it is.
QString normalize(const QString& text);

// True when every character (after normalize) has a code page 1250 byte.
bool isRepresentable(const QString& text);

// The first character of text that has no code page 1250 byte (after normalize), or a null
// QChar when there is none.
QChar firstUnrepresentable(const QString& text);

// Normalizes text and throws ConversionError naming the character and fieldName when a
// character is outside the code page; returns the normalized text.
QString checked(const QString& text, const QString& fieldName);

// Encodes to code page 1250 bytes; throws ConversionError like checked().
QByteArray encode(const QString& text, const QString& fieldName = QString());

// Decodes code page 1250 bytes; the five unassigned bytes decode as U+FFFD.
QString decode(const QByteArray& bytes);
QString decode(const char* data, int length);

// Byte of one character, or -1 when it has none (after normalize).
int byteOf(QChar c);

} // namespace base::cp1250
