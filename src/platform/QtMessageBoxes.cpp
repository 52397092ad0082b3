#include "platform/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <array>
#include <memory>

namespace platform {

namespace {

struct ButtonPair {
    Button button;
    QMessageBox::StandardButton standard;
};

// In the order the platform lays out and chooses its own default: the first offered.
constexpr std::array<ButtonPair, 4> ButtonMap = {{{Button::Ok, QMessageBox::Ok},
                                                  {Button::Yes, QMessageBox::Yes},
                                                  {Button::No, QMessageBox::No},
                                                  {Button::Cancel, QMessageBox::Cancel}}};

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
    case Icon::None:
        return QMessageBox::NoIcon;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QtMessageBoxes::QtMessageBoxes(QWidget* parentWindow) : m_parent(parentWindow) {}

void QtMessageBoxes::setParentWindow(QWidget* parentWindow) {
    m_parent = parentWindow;
}

QMessageBox* QtMessageBoxes::createBox(const MessageBoxRequest& request) const {
    unsigned buttons = request.buttons;
    if ((buttons & (unsigned(Button::Ok) | unsigned(Button::Cancel) | unsigned(Button::Yes) |
                    unsigned(Button::No))) == 0)
        buttons = unsigned(Button::Ok); // a box without a button could never be closed
    QMessageBox::StandardButtons standard;
    for (const auto& pair : ButtonMap)
        if (buttons & unsigned(pair.button)) standard |= pair.standard;
    // The texts break lines with carriage returns, as the classic message box does.
    QString text = request.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    auto* box =
        new QMessageBox(qtIcon(request.icon), request.caption, text, standard, m_parent.data());
    if (QAbstractButton* yes = box->button(QMessageBox::Yes); yes && !request.yesText.isEmpty())
        yes->setText(request.yesText);
    if (QAbstractButton* no = box->button(QMessageBox::No); no && !request.noText.isEmpty())
        no->setText(request.noText);
    for (const auto& pair : ButtonMap)
        if (request.defaultButton == pair.button && (buttons & unsigned(pair.button)))
            box->setDefaultButton(pair.standard);
    // Closing the box answers Cancel, else No, else OK.
    for (const Button escape : {Button::Cancel, Button::No, Button::Ok}) {
        if (buttons & unsigned(escape)) {
            for (const auto& pair : ButtonMap)
                if (pair.button == escape) box->setEscapeButton(pair.standard);
            break;
        }
    }
    return box;
}

Button QtMessageBoxes::show(const MessageBoxRequest& request) {
    const std::unique_ptr<QMessageBox> box(createBox(request));
    box->exec();
    const auto clicked = box->standardButton(box->clickedButton());
    for (const auto& pair : ButtonMap)
        if (pair.standard == clicked) return pair.button;
    const auto escape = box->standardButton(box->escapeButton());
    for (const auto& pair : ButtonMap)
        if (pair.standard == escape) return pair.button;
    return Button::Cancel;
}

void QtMessageBoxes::showError(const QString& text) {
    MessageBoxRequest request;
    request.caption = QCoreApplication::translate("QtMessageBoxes", "Error");
    request.text = text;
    request.buttons = unsigned(Button::Ok);
    request.icon = Icon::Error;
    show(request);
}

} // namespace platform
