#pragma once
#include <QDialog>

namespace platform {
class Desktop;
}
class QLabel;
class QPushButton;

// The about box: program name, the version the build was made with and the web-site link,
// which opens through the desktop's shell.
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
    QPushButton* ButtonOK = nullptr;

private:
    platform::Desktop& m_desktop;
};
