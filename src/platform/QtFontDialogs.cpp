#include "platform/QtFontDialogs.h"

#include <QFontDialog>
#include <memory>

namespace platform {

QtFontDialogs::QtFontDialogs(QWidget* parentWindow) : m_parent(parentWindow) {}

void QtFontDialogs::setParentWindow(QWidget* parentWindow) {
    m_parent = parentWindow;
}

QFontDialog* QtFontDialogs::createDialog(const FontChoice& current) const {
    QFont font;
    if (!current.family.isEmpty()) font.setFamilies({current.family});
    if (current.pointSize > 0) font.setPointSize(current.pointSize);
    font.setBold(current.bold);
    font.setItalic(current.italic);
    font.setUnderline(current.underline);
    font.setStrikeOut(current.strikeOut);
    auto* dialog = new QFontDialog(font, m_parent.data());
    return dialog;
}

FontChoice QtFontDialogs::choiceFrom(const QFontDialog& dialog, const FontChoice& current) {
    const QFont font = dialog.currentFont();
    FontChoice choice;
    choice.family = font.family();
    choice.pointSize = font.pointSize() > 0 ? font.pointSize() : current.pointSize;
    choice.bold = font.bold();
    choice.italic = font.italic();
    choice.underline = font.underline();
    choice.strikeOut = font.strikeOut();
    choice.colour = current.colour;
    return choice;
}

std::optional<FontChoice> QtFontDialogs::chooseFont(const FontChoice& current) {
    const std::unique_ptr<QFontDialog> dialog(createDialog(current));
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    return choiceFrom(*dialog, current);
}

} // namespace platform
