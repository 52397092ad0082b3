#include "app/HelpGuide.h"

#include "geo/TextFields.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextDocument>

#include <algorithm>

namespace help {

namespace {

QStringList readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return geo::splitLines(QString::fromUtf8(file.readAll()));
}

// The lines of a tab-separated list file, each cut into its fields; empty lines and lines
// starting with '#' are left out.
QList<QStringList> readTable(const QString& path, int fields) {
    QList<QStringList> rows;
    for (const QString& line : readLines(path)) {
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        QStringList row = line.split(QLatin1Char('\t'));
        if (row.size() < fields) continue;
        for (QString& field : row) field = field.trimmed();
        rows.append(row);
    }
    return rows;
}

QString pageOf(const QString& target) {
    return target.section(QLatin1Char('#'), 0, 0);
}

QString anchorOf(const QString& target) {
    return target.section(QLatin1Char('#'), 1);
}

} // namespace

std::optional<Guide> Guide::load(const QString& folder) {
    const QDir dir(folder);
    if (!QFileInfo::exists(dir.filePath(QStringLiteral("contents.txt")))) return std::nullopt;
    Guide guide;
    guide.m_folder = folder;
    for (const QStringList& row : readTable(dir.filePath(QStringLiteral("contents.txt")), 3)) {
        bool number = false;
        const int depth = row[0].toInt(&number);
        if (!number || depth < 0) continue;
        guide.m_contents.append({depth, row[1], row[2]});
    }
    for (const QStringList& row : readTable(dir.filePath(QStringLiteral("keywords.txt")), 2))
        guide.m_keywords.append({row[0], row[1]});
    std::stable_sort(guide.m_keywords.begin(), guide.m_keywords.end(),
                     [](const Keyword& a, const Keyword& b) {
                         return QString::compare(a.keyword, b.keyword, Qt::CaseInsensitive) < 0;
                     });
    for (const QStringList& row : readTable(dir.filePath(QStringLiteral("contexts.txt")), 2)) {
        bool number = false;
        const int context = row[0].toInt(&number);
        if (number) guide.m_contexts.insert(context, row[1]);
    }
    return guide;
}

QString Guide::homeTarget() const {
    return m_contents.isEmpty() ? QString() : m_contents.first().target;
}

QUrl Guide::url(const QString& target) const {
    QUrl url = m_folder.startsWith(QLatin1Char(':'))
                   ? QUrl(QStringLiteral("qrc") + m_folder + QLatin1Char('/') + pageOf(target))
                   : QUrl::fromLocalFile(QDir(m_folder).filePath(pageOf(target)));
    const QString anchor = anchorOf(target);
    if (!anchor.isEmpty()) url.setFragment(anchor);
    return url;
}

QStringList Guide::pages() const {
    return QDir(m_folder).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

QString Guide::readPage(const QString& page) const {
    QFile file(QDir(m_folder).filePath(page));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString Guide::pageTitle(const QString& page) const {
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = title.match(readPage(page));
    return match.hasMatch() ? match.captured(1).simplified() : page;
}

QString Guide::plainText(const QString& page) const {
    auto found = m_plainText.constFind(page);
    if (found != m_plainText.constEnd()) return *found;
    QTextDocument document;
    document.setHtml(readPage(page));
    const QString text = document.toPlainText().simplified();
    m_plainText.insert(page, text);
    return text;
}

QList<SearchHit> Guide::search(const QString& query) const {
    const QStringList words = query.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QList<SearchHit> hits;
    if (words.isEmpty()) return hits;
    for (const QString& page : pages()) {
        const QString text = plainText(page);
        int score = 0;
        bool all = true;
        for (const QString& word : words) {
            const int count = int(text.count(word, Qt::CaseInsensitive));
            if (count == 0) {
                all = false;
                break;
            }
            score += count;
        }
        if (all) hits.append({page, pageTitle(page), score});
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const SearchHit& a, const SearchHit& b) { return a.score > b.score; });
    return hits;
}

bool Guide::targetExists(const QString& fromPage, const QString& target) const {
    const QString page = pageOf(target).isEmpty() ? fromPage : pageOf(target);
    if (page.isEmpty()) return false;
    const QString base =
        fromPage.isEmpty() ? m_folder : QFileInfo(QDir(m_folder).filePath(fromPage)).path();
    const QString path = QDir::cleanPath(base + QLatin1Char('/') + page);
    if (!QFileInfo::exists(path)) return false;
    const QString anchor = anchorOf(target);
    if (anchor.isEmpty()) return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QString html = QString::fromUtf8(file.readAll());
    const QRegularExpression named(
        QStringLiteral("(name|id)\\s*=\\s*\"%1\"").arg(QRegularExpression::escape(anchor)));
    return html.contains(named);
}

QStringList Guide::brokenLinks() const {
    QStringList broken;
    static const QRegularExpression link(QStringLiteral("(?:href|src)\\s*=\\s*\"([^\"]*)\""),
                                         QRegularExpression::CaseInsensitiveOption);
    for (const QString& page : pages()) {
        QRegularExpressionMatchIterator it = link.globalMatch(readPage(page));
        while (it.hasNext()) {
            const QString target = it.next().captured(1);
            // Links out of the guide go to the desktop's browser; they are not checked here.
            if (target.contains(QLatin1String("://")) || target.startsWith(QLatin1String("mailto:")))
                continue;
            if (!targetExists(page, target)) broken.append(page + QStringLiteral(": ") + target);
        }
    }
    const auto check = [&](const QString& list, const QString& target) {
        if (target.isEmpty() || !targetExists(QString(), target))
            broken.append(list + QStringLiteral(": ") + target);
    };
    for (const ContentsEntry& entry : m_contents) check(QStringLiteral("contents.txt"), entry.target);
    for (const Keyword& keyword : m_keywords) check(QStringLiteral("keywords.txt"), keyword.target);
    for (const QString& target : m_contexts) check(QStringLiteral("contexts.txt"), target);
    return broken;
}

QString findGuideFolder(const QString& executableFolder, const QStringList& dataFolders) {
    QStringList candidates{QDir(executableFolder).filePath(QStringLiteral("guide"))};
    for (const QString& data : dataFolders)
        candidates.append(QDir(data).filePath(QStringLiteral("thalwise/guide")));
    for (const QString& folder : candidates)
        if (QFileInfo::exists(QDir(folder).filePath(QStringLiteral("contents.txt"))))
            return QDir::cleanPath(folder);
    return QString::fromLatin1(BuiltInGuide);
}

} // namespace help
