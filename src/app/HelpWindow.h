#pragma once
#include "app/HelpGuide.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform {
class Desktop;
}

// The help window: the user guide with its contents, its index of keywords and a full-text
// search beside the page. One window for the run, shown again by every help command.
class THelpWindow : public QWidget {
    Q_OBJECT

public:
    enum class Tab { Contents = 0, Index = 1, Search = 2 };

    // desktop opens links that lead out of the guide; it must outlive the window.
    THelpWindow(help::Guide guide, platform::Desktop& desktop, QWidget* parent = nullptr);

    // Shows the window on that tab, raised and active.
    void showTab(Tab tab);
    // Shows the page of a context number; false (and the contents) when there is none.
    bool showContext(int context);
    // Shows a target of the guide ("page.html#anchor").
    void showTarget(const QString& target);

    Tab currentTab() const;
    const help::Guide& guide() const { return m_guide; }
    // The page shown, as a URL of the guide.
    QUrl currentUrl() const;

    QTabWidget* Tabs = nullptr;
    QTreeWidget* ContentsTree = nullptr;
    QLineEdit* IndexFilter = nullptr;
    QListWidget* IndexList = nullptr;
    QLineEdit* SearchText = nullptr;
    QListWidget* SearchResults = nullptr;
    QTextBrowser* Page = nullptr;

    // Runs the search for what SearchText holds.
    void runSearch();

private:
    void fillContents();
    void fillIndex(const QString& filter);
    void openLink(const QUrl& url);
    void bringUp();

    help::Guide m_guide;
    platform::Desktop& m_desktop;
};
