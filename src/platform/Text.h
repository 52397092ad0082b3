#pragma once
#include <QByteArray>
#include <QString>
#include <QStringView>

namespace platform {

// True when bytes are well-formed UTF-8 (an empty array is).
bool isValidUtf8(const QByteArray& bytes);

// Windows-1252 bytes as text, every byte one character. The code page differs from Latin-1 only
// in 0x80..0x9F; its five unassigned bytes there map to U+0081 and so on, as Windows does.
QString decodeWindows1252(const QByteArray& bytes);

// Text from a file or a chart: UTF-8 when the bytes are valid UTF-8 (a leading byte-order
// mark is dropped), else Windows-1252, the code page of the program's shipped texts.
QString decodeText(const QByteArray& bytes);

// Windows-1252 bytes of text; characters the code page lacks become '?'.
QByteArray encodeWindows1252(const QString& text);

// At most maxChars UTF-16 units of text (none for maxChars <= 0); a cut that would fall between
// the two halves of a surrogate pair drops the first half too.
QString cutText(QStringView text, qsizetype maxChars);

// True when every surrogate of the text is half of a pair: only such text survives UTF-8.
bool isWellFormed(QStringView text);

// text without the leading and trailing characters for which isBlank is true.
QStringView trimmedWhere(QStringView text, bool (*isBlank)(QChar));

} // namespace platform
