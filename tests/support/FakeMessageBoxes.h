#pragma once
#include "platform/MessageBoxes.h"

#include <QList>
#include <QStringList>

// Records every box and answers from a queue. With the queue empty it answers defaultAnswer,
// or, when that is None, the request's default button, else the first of OK, Yes, No, Cancel
// the box offers.
class FakeMessageBoxes : public platform::MessageBoxes {
public:
    platform::Button show(const platform::MessageBoxRequest& request) override {
        requests.append(request);
        if (!answers.isEmpty()) return answers.takeFirst();
        if (defaultAnswer != platform::Button::None) return defaultAnswer;
        if (request.defaultButton != platform::Button::None) return request.defaultButton;
        for (const auto b : {platform::Button::Ok, platform::Button::Yes, platform::Button::No,
                             platform::Button::Cancel})
            if (request.buttons & unsigned(b)) return b;
        return platform::Button::Ok;
    }
    void showError(const QString& text) override { errors.append(text); }

    QList<platform::MessageBoxRequest> requests;
    QStringList errors;
    QList<platform::Button> answers;
    platform::Button defaultAnswer = platform::Button::None;
};
