#pragma once
#include <QDialog>

namespace platform {
class Desktop;
}
class QLabel;
class QPushButton;

// The about box: program name, the version the build was made with, the web-site link,
// which opens through the desktop's shell, the licence and the versions of Qt.
class TAboutBoxVEK1 : public QDialog {
    Q_OBJECT

public:
    // desktop must outlive the dialog.
    explicit TAboutBoxVEK1(platform::Desktop& desktop, QWidget* parent = nullptr);

    static QString programName();
    static QString version();
    static QString webSite();

    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* WebSite = nullptr;
    QLabel* Licence = nullptr;
    QLabel* QtVersions = nullptr; // the Qt the program was built with and the one it runs on
    QPushButton* ButtonOK = nullptr;

private:
    platform::Desktop& m_desktop;
};
