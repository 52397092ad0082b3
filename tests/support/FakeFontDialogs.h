#pragma once
#include "platform/FontDialogs.h"

#include <QList>

// Records the font each dialog was opened with and answers from a queue; an empty queue (or a
// queued cancel) is a cancel.
class FakeFontDialogs : public platform::FontDialogs {
public:
    void queueFont(const platform::FontChoice& font) { answers.append(font); }
    void queueCancel() { answers.append(std::nullopt); }

    std::optional<platform::FontChoice> chooseFont(const platform::FontChoice& current) override {
        requests.append(current);
        if (answers.isEmpty()) return std::nullopt;
        return answers.takeFirst();
    }

    QList<platform::FontChoice> requests;
    QList<std::optional<platform::FontChoice>> answers;
};
