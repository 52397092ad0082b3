#pragma once
#include "platform/FontDialogs.h"

#include <QPointer>

class QFontDialog;
class QWidget;

namespace platform {

// The font dialog shown with QFontDialog, modal to the given window. QFontDialog offers no
// colour, so the current colour is handed back unchanged.
class QtFontDialogs : public FontDialogs {
public:
    explicit QtFontDialogs(QWidget* parentWindow = nullptr);
    void setParentWindow(QWidget* parentWindow);

    std::optional<FontChoice> chooseFont(const FontChoice& current) override;

    // Builds the dialog chooseFont runs (for tests of the set-up); the caller owns it.
    QFontDialog* createDialog(const FontChoice& current) const;
    // The choice a dialog holds, with the colour of current.
    static FontChoice choiceFrom(const QFontDialog& dialog, const FontChoice& current);

private:
    QPointer<QWidget> m_parent;
};

} // namespace platform
