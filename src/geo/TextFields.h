#pragma once
// Reading the small text formats the charts and the settings use: lines (the palette, chart
// comments), comma-text lists (palette lines, stored waypoints) and plain decimal integers.

#include <QString>
#include <QStringList>

#include <optional>

namespace geo {

// The lines of a text: split at CR LF, CR or LF; a final line break ends the last line rather
// than starting an empty one. Empty for an empty text.
QStringList splitLines(const QString& text);

// The items of a comma-text list: separated by commas or by characters at or below the space,
// outside double quotes; a double-quoted item may hold either, a doubled quote inside stands
// for one. Blanks around an item are dropped; a trailing comma ends with an empty item.
QStringList splitCommaText(const QString& text);

// The items joined with commas, the inverse of splitCommaText: an item holding a comma, a double
// quote or a character at or below the space is written double-quoted, its quotes doubled.
QString joinCommaText(const QStringList& items);

// A decimal integer: an optional "+" or "-" and at least one digit, nothing else; nothing when
// the text is anything else or the value does not fit 32 bits.
std::optional<int> readDecimalInteger(const QString& text);

} // namespace geo
