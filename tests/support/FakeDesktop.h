#pragma once
#include "platform/Desktop.h"

#include <QDir>
#include <QList>
#include <QTemporaryDir>

// Documents folder in a fresh temporary folder (removed with the fake) unless a test sets
// one; records the links it is asked to open and answers openResult.
class FakeDesktop : public platform::Desktop {
public:
    QString documentsFolder() const override {
        return QDir::toNativeSeparators(folder.isEmpty() ? m_temp.path() : folder);
    }
    bool openUrl(const QUrl& url) override {
        openedUrls.append(url);
        return openResult;
    }

    QString folder; // empty: the temporary folder
    QList<QUrl> openedUrls;
    bool openResult = true;

private:
    QTemporaryDir m_temp;
};
