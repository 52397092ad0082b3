#pragma once
#include "platform/MessageBoxes.h"

#include <QPointer>

class QMessageBox;
class QWidget;

namespace platform {

// Message boxes shown with QMessageBox, modal to the given window.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parentWindow = nullptr);
    void setParentWindow(QWidget* parentWindow);

    Button show(const MessageBoxRequest& request) override;
    // A critical box captioned "Error" with an OK button.
    void showError(const QString& text) override;

    // Builds the box show() would run (for tests of the mapping); the caller owns it.
    QMessageBox* createBox(const MessageBoxRequest& request) const;

private:
    QPointer<QWidget> m_parent;
};

} // namespace platform
