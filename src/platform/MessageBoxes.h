#pragma once
#include <QString>

namespace platform {

// The buttons a message box offers (combine with |), and the one the user chose.
enum class Button : unsigned { None = 0, Ok = 1, Cancel = 2, Yes = 4, No = 8 };
constexpr unsigned operator|(Button a, Button b) {
    return unsigned(a) | unsigned(b);
}
constexpr unsigned operator|(unsigned a, Button b) {
    return a | unsigned(b);
}

enum class Icon { None, Information, Warning, Error, Question };

struct MessageBoxRequest {
    QString caption;
    QString text;
    unsigned buttons = unsigned(Button::Ok);
    Icon icon = Icon::None;
    Button defaultButton = Button::None; // None: the platform's own choice
    // Own captions for the Yes and No buttons (for a choice between two actions); empty: the
    // platform's words.
    QString yesText;
    QString noText;
};

// Modal message boxes. The real one is the only code that shows a QMessageBox;
// tests answer from a script.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the box and returns the button chosen (Cancel or No when the box is closed).
    virtual Button show(const MessageBoxRequest& request) = 0;
    // The application's standard error box, for errors that travel up to a command.
    virtual void showError(const QString& text) = 0;
};

} // namespace platform
