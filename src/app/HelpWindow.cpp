#include "app/HelpWindow.h"

#include "platform/Desktop.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int TargetRole = Qt::UserRole;

// Links that lead out of the guide: the desktop's browser or mail program opens them.
bool isOutside(const QUrl& url) {
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("mailto");
}

} // namespace

THelpWindow::THelpWindow(help::Guide guide, platform::Desktop& desktop, QWidget* parent)
    : QWidget(parent, Qt::Window), m_guide(std::move(guide)), m_desktop(desktop) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("Thalwise Help"));
    resize(920, 660);

    Tabs = new QTabWidget(this);
    Tabs->setObjectName(QStringLiteral("HelpTabs"));

    ContentsTree = new QTreeWidget(Tabs);
    ContentsTree->setObjectName(QStringLiteral("ContentsTree"));
    ContentsTree->setHeaderHidden(true);
    Tabs->addTab(ContentsTree, tr("&Contents"));

    auto* index = new QWidget(Tabs);
    IndexFilter = new QLineEdit(index);
    IndexFilter->setObjectName(QStringLiteral("IndexFilter"));
    IndexFilter->setPlaceholderText(tr("Type a keyword"));
    IndexFilter->setClearButtonEnabled(true);
    IndexList = new QListWidget(index);
    IndexList->setObjectName(QStringLiteral("IndexList"));
    auto* indexLayout = new QVBoxLayout(index);
    indexLayout->addWidget(IndexFilter);
    indexLayout->addWidget(IndexList, 1);
    Tabs->addTab(index, tr("&Index"));

    auto* search = new QWidget(Tabs);
    SearchText = new QLineEdit(search);
    SearchText->setObjectName(QStringLiteral("SearchText"));
    SearchText->setPlaceholderText(tr("Words to find"));
    SearchText->setClearButtonEnabled(true);
    auto* searchButton = new QPushButton(tr("&Search"), search);
    searchButton->setObjectName(QStringLiteral("SearchButton"));
    SearchResults = new QListWidget(search);
    SearchResults->setObjectName(QStringLiteral("SearchResults"));
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(SearchText, 1);
    searchRow->addWidget(searchButton);
    auto* searchLayout = new QVBoxLayout(search);
    searchLayout->addLayout(searchRow);
    searchLayout->addWidget(SearchResults, 1);
    Tabs->addTab(search, tr("&Search"));

    Page = new QTextBrowser(this);
    Page->setObjectName(QStringLiteral("HelpPage"));
    // Every link comes here first: the guide's own pages open in place, others outside.
    Page->setOpenLinks(false);
    auto tool = [this](const QString& text, const QKeySequence& key) {
        auto* button = new QToolButton(this);
        button->setText(text);
        button->setShortcut(key);
        button->setAutoRaise(true);
        button->setToolTip(QStringLiteral("%1 (%2)")
                               .arg(QString(text).remove(QLatin1Char('&')),
                                    key.toString(QKeySequence::NativeText)));
        return button;
    };
    QToolButton* back = tool(tr("&Back"), QKeySequence::Back);
    QToolButton* forward = tool(tr("&Forward"), QKeySequence::Forward);
    QToolButton* home = tool(tr("&Home"), QKeySequence(Qt::ALT | Qt::Key_Home));
    back->setEnabled(false);
    forward->setEnabled(false);
    auto* toolbar = new QHBoxLayout;
    toolbar->setContentsMargins(0, 0, 0, 0);
    toolbar->addWidget(back);
    toolbar->addWidget(forward);
    toolbar->addWidget(home);
    toolbar->addStretch(1);
    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addLayout(toolbar);
    rightLayout->addWidget(Page, 1);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(Tabs);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({270, 650});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(splitter);

    // Esc and the desktop's Close key put the guide away, as they do any viewer's window.
    QList<QKeySequence> closeKeys = QKeySequence::keyBindings(QKeySequence::Close);
    if (closeKeys.isEmpty()) closeKeys.append(QKeySequence(Qt::CTRL | Qt::Key_W));
    closeKeys.append(QKeySequence(Qt::Key_Escape));
    for (const QKeySequence& key : closeKeys) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setObjectName(QStringLiteral("HelpWindowCloseKey"));
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }

    connect(back, &QToolButton::clicked, Page, &QTextBrowser::backward);
    connect(forward, &QToolButton::clicked, Page, &QTextBrowser::forward);
    connect(home, &QToolButton::clicked, this, [this] { showTarget(m_guide.homeTarget()); });
    connect(Page, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
    connect(Page, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);
    connect(Page, &QTextBrowser::anchorClicked, this, &THelpWindow::openLink);
    connect(ContentsTree, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { showTarget(item->data(0, TargetRole).toString()); });
    connect(ContentsTree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showTarget(item->data(0, TargetRole).toString()); });
    connect(IndexFilter, &QLineEdit::textChanged, this, &THelpWindow::fillIndex);
    connect(IndexFilter, &QLineEdit::returnPressed, this, [this] {
        if (IndexList->count() > 0) showTarget(IndexList->item(0)->data(TargetRole).toString());
    });
    auto openItem = [this](QListWidgetItem* item) {
        showTarget(item->data(TargetRole).toString());
    };
    connect(IndexList, &QListWidget::itemActivated, this, openItem);
    connect(IndexList, &QListWidget::itemClicked, this, openItem);
    connect(searchButton, &QPushButton::clicked, this, &THelpWindow::runSearch);
    connect(SearchText, &QLineEdit::returnPressed, this, &THelpWindow::runSearch);
    auto openHit = [this](QListWidgetItem* item) {
        showTarget(item->data(TargetRole).toString());
        // The first of the words searched for is found on the page.
        const QStringList words =
            SearchText->text().simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!words.isEmpty()) Page->find(words.first());
    };
    connect(SearchResults, &QListWidget::itemActivated, this, openHit);
    connect(SearchResults, &QListWidget::itemClicked, this, openHit);

    fillContents();
    fillIndex(QString());
    showTarget(m_guide.homeTarget());
}

void THelpWindow::fillContents() {
    ContentsTree->clear();
    QTreeWidgetItem* topic = nullptr;
    for (const help::ContentsEntry& entry : m_guide.contents()) {
        auto* item = entry.depth > 0 && topic ? new QTreeWidgetItem(topic)
                                              : new QTreeWidgetItem(ContentsTree);
        item->setText(0, entry.title);
        item->setData(0, TargetRole, entry.target);
        if (entry.depth == 0 || !topic) topic = item;
    }
    ContentsTree->expandAll();
}

void THelpWindow::fillIndex(const QString& filter) {
    IndexList->clear();
    const QList<help::Keyword>& keywords = m_guide.keywords();
    for (qsizetype i = 0; i < keywords.size(); ++i) {
        const help::Keyword& keyword = keywords[i];
        if (!keyword.keyword.startsWith(filter.trimmed(), Qt::CaseInsensitive)) continue;
        // A keyword of several places names each place's page.
        const bool shared =
            (i > 0 && keywords[i - 1].keyword.compare(keyword.keyword, Qt::CaseInsensitive) == 0) ||
            (i + 1 < keywords.size() &&
             keywords[i + 1].keyword.compare(keyword.keyword, Qt::CaseInsensitive) == 0);
        const QString page = keyword.target.section(QLatin1Char('#'), 0, 0);
        auto* item = new QListWidgetItem(
            shared ? QStringLiteral("%1 \u2013 %2").arg(keyword.keyword, m_guide.pageTitle(page))
                   : keyword.keyword,
            IndexList);
        item->setData(TargetRole, keyword.target);
    }
}

void THelpWindow::runSearch() {
    SearchResults->clear();
    const QList<help::SearchHit> hits = m_guide.search(SearchText->text());
    for (const help::SearchHit& hit : hits) {
        auto* item = new QListWidgetItem(hit.title, SearchResults);
        item->setData(TargetRole, hit.target);
    }
    if (hits.isEmpty() && !SearchText->text().trimmed().isEmpty())
        new QListWidgetItem(tr("Nothing found"), SearchResults);
}

void THelpWindow::openLink(const QUrl& url) {
    const QUrl resolved = Page->source().resolved(url);
    if (isOutside(resolved)) {
        m_desktop.openUrl(resolved);
        return;
    }
    Page->setSource(resolved);
}

void THelpWindow::showTarget(const QString& target) {
    if (target.isEmpty()) return;
    Page->setSource(m_guide.url(target));
}

QUrl THelpWindow::currentUrl() const {
    return Page->source();
}

THelpWindow::Tab THelpWindow::currentTab() const {
    return static_cast<Tab>(Tabs->currentIndex());
}

void THelpWindow::bringUp() {
    show();
    raise();
    activateWindow();
}

void THelpWindow::showTab(Tab tab) {
    Tabs->setCurrentIndex(static_cast<int>(tab));
    bringUp();
    if (tab == Tab::Index) IndexFilter->setFocus();
    if (tab == Tab::Search) SearchText->setFocus();
    if (tab == Tab::Contents) ContentsTree->setFocus();
}

bool THelpWindow::showContext(int context) {
    const QString target = m_guide.contextTarget(context);
    if (target.isEmpty()) {
        showTab(Tab::Contents);
        return false;
    }
    Tabs->setCurrentIndex(static_cast<int>(Tab::Contents));
    showTarget(target);
    bringUp();
    return true;
}
