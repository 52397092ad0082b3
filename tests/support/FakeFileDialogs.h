#pragma once
#include "platform/FileDialogs.h"

#include <QList>

// Records every request and answers from a queue; an empty queue (or an answer without
// paths) is a cancel. An answer's filterIndex, when non-zero, is handed back as the user's
// choice of filter.
class FakeFileDialogs : public platform::FileDialogs {
public:
    enum class Kind { Open, OpenMany, Save };
    struct Answer {
        QStringList paths;
        int filterIndex = 0;
    };

    void queueFile(const QString& path, int filterIndex = 0) {
        answers.append({{path}, filterIndex});
    }
    void queueFiles(const QStringList& paths, int filterIndex = 0) {
        answers.append({paths, filterIndex});
    }
    void queueCancel() { answers.append(Answer{}); }

    std::optional<QString> openFile(platform::FileDialogRequest& request) override {
        const QStringList paths = answer(Kind::Open, request);
        return paths.isEmpty() ? std::nullopt : std::optional<QString>(paths.first());
    }
    QStringList openFiles(platform::FileDialogRequest& request) override {
        return answer(Kind::OpenMany, request);
    }
    std::optional<QString> saveFile(platform::FileDialogRequest& request) override {
        const QStringList paths = answer(Kind::Save, request);
        return paths.isEmpty() ? std::nullopt : std::optional<QString>(paths.first());
    }

    QList<platform::FileDialogRequest> requests; // as the caller passed them
    QList<Kind> kinds;
    QList<Answer> answers;

private:
    QStringList answer(Kind kind, platform::FileDialogRequest& request) {
        requests.append(request);
        kinds.append(kind);
        if (answers.isEmpty()) return {};
        const Answer next = answers.takeFirst();
        if (!next.paths.isEmpty() && next.filterIndex != 0) request.filterIndex = next.filterIndex;
        return next.paths;
    }
};
