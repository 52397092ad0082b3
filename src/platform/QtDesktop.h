#pragma once
#include "platform/Desktop.h"

namespace platform {

// The real desktop services: the documents folder from QStandardPaths (the home folder when
// the platform names none) and links opened through QDesktopServices.
class QtDesktop : public Desktop {
public:
    QString documentsFolder() const override;
    QString downloadsFolder() const override;
    bool openUrl(const QUrl& url) override;
};

} // namespace platform
