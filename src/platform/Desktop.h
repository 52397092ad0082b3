#pragma once
#include <QString>
#include <QUrl>

namespace platform {

// The desktop's shell services: the documents folder and opening links and files.
class Desktop {
public:
    virtual ~Desktop() = default;
    // The user's documents folder, native separators, without a trailing separator.
    virtual QString documentsFolder() const = 0;
    // Where downloaded files arrive (the charts a user opens come from there): the desktop's
    // downloads folder when it exists, else the documents folder. Same form as documentsFolder.
    virtual QString downloadsFolder() const { return documentsFolder(); }
    // Opens a web link or a local file with the desktop's handler; false when that fails.
    virtual bool openUrl(const QUrl& url) = 0;
};

} // namespace platform
