#pragma once
#include <QColor>
#include <QString>
#include <optional>

namespace platform {

// A font as the font dialog shows it.
struct FontChoice {
    QString family;
    int pointSize = 0; // 0 or less: the dialog's own default size
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor colour;

    bool operator==(const FontChoice&) const = default;
};

// The font dialog. The real one is the only code that shows a QFontDialog; tests answer from
// a queue.
class FontDialogs {
public:
    virtual ~FontDialogs() = default;
    // Shows current and returns the font the user confirmed, or nothing when the user cancels.
    virtual std::optional<FontChoice> chooseFont(const FontChoice& current) = 0;
};

} // namespace platform
