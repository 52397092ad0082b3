#pragma once
// The user guide read from its folder (or the copy built into the program): its contents, its
// index of keywords, its context numbers, and a full-text search over its pages. No widgets.

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace help {

// The folder of the guide built into the program.
inline constexpr char BuiltInGuide[] = ":/guide";

struct ContentsEntry {
    int depth = 0;  // 0 for a topic, 1 for a section under the topic before it
    QString target; // "waypoints.html#gpx"
    QString title;
};

struct Keyword {
    QString keyword;
    QString target;
};

struct SearchHit {
    QString target; // the page
    QString title;
    int score = 0; // how often the words occur on the page
};

class Guide {
public:
    // Reads contents.txt, keywords.txt and contexts.txt of the folder; nothing when the folder
    // holds no contents.txt. Lines that cannot be read are left out.
    static std::optional<Guide> load(const QString& folder);

    QString folder() const { return m_folder; }
    const QList<ContentsEntry>& contents() const { return m_contents; }
    // Sorted by keyword, ignoring case.
    const QList<Keyword>& keywords() const { return m_keywords; }
    // The page of a context number; empty when the guide has no such context.
    QString contextTarget(int context) const { return m_contexts.value(context); }
    QList<int> contexts() const { return m_contexts.keys(); }
    // The first page of the contents.
    QString homeTarget() const;
    // A target ("page.html#anchor") as a URL the viewer can open.
    QUrl url(const QString& target) const;
    // The pages, by file name, in the order of the folder.
    QStringList pages() const;
    // A page's title: its <title>, or its file name.
    QString pageTitle(const QString& page) const;

    // The pages holding every word of query (case ignored), the most hits first.
    QList<SearchHit> search(const QString& query) const;
    // Every link and picture of every page, and every target of the contents, the index and
    // the contexts, that leads nowhere: "page.html: missing.html#anchor".
    QStringList brokenLinks() const;

private:
    QString readPage(const QString& page) const;
    QString plainText(const QString& page) const;
    bool targetExists(const QString& fromPage, const QString& target) const;

    QString m_folder;
    QList<ContentsEntry> m_contents;
    QList<Keyword> m_keywords;
    QMap<int, QString> m_contexts;
    mutable QMap<QString, QString> m_plainText; // page -> its words, read once
};

// Where the guide is read from: a "guide" folder beside the executable, then
// "thalwise/guide" in one of the data folders, each only when it holds contents.txt; the
// guide built into the program otherwise.
QString findGuideFolder(const QString& executableFolder, const QStringList& dataFolders);

} // namespace help
