// The user guide's files hold together: every link, image, contents entry, keyword and context
// number leads to a page and anchor that exist, and the resource list names every file of the
// guide, no more and no less. A broken link shows as an empty page in the help window, a file
// left out of the resource list is missing from the program.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QSize>
#include <QXmlStreamReader>

#include <optional>

namespace {

const QString GuideDir = QStringLiteral(THALWISE_SOURCE_DIR "/docs/guide");

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readAll());
}

QStringList guideFiles(const QString& subfolder, const QString& pattern) {
    const QDir dir(subfolder.isEmpty() ? GuideDir : GuideDir + u'/' + subfolder);
    QStringList names = dir.entryList({pattern}, QDir::Files, QDir::Name);
    if (!subfolder.isEmpty())
        for (QString& name : names)
            name = subfolder + u'/' + name;
    return names;
}

// The anchors each page defines, by file name.
QMap<QString, QSet<QString>> pageAnchors() {
    static const QRegularExpression anchor(QStringLiteral("<a\\s+name=\"([^\"]*)\""));
    QMap<QString, QSet<QString>> anchors;
    for (const QString& page : guideFiles(QString(), QStringLiteral("*.html"))) {
        QSet<QString>& names = anchors[page];
        for (const QRegularExpressionMatch& m : anchor.globalMatch(readText(GuideDir + u'/' + page)))
            names.insert(m.captured(1));
    }
    return anchors;
}

// Empty when target ("page.html" or "page.html#anchor") names an existing page and anchor,
// else what is wrong with it.
QString targetProblem(const QMap<QString, QSet<QString>>& anchors, const QString& target) {
    const qsizetype hash = target.indexOf(u'#');
    const QString page = hash < 0 ? target : target.left(hash);
    if (!anchors.contains(page)) return QStringLiteral("no page ") + page;
    if (hash >= 0 && !anchors[page].contains(target.mid(hash + 1)))
        return QStringLiteral("no anchor ") + target;
    return QString();
}

// The lines of one of the guide's tables, split at tabs; blank lines are an error of their own.
QList<QStringList> tableLines(const QString& name) {
    QList<QStringList> rows;
    for (const QString& line : readText(GuideDir + u'/' + name).split(u'\n')) {
        if (line.isEmpty()) continue;
        rows.append(line.split(u'\t'));
    }
    return rows;
}

TEST(GuideLinksTest, EveryPageHasATitleEqualToItsHeading) {
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"));
    static const QRegularExpression heading(QStringLiteral("<h1>(.*?)</h1>"));
    const QStringList pages = guideFiles(QString(), QStringLiteral("*.html"));
    ASSERT_FALSE(pages.isEmpty());
    for (const QString& page : pages) {
        const QString text = readText(GuideDir + u'/' + page);
        const QRegularExpressionMatch t = title.match(text);
        const QRegularExpressionMatch h = heading.match(text);
        ASSERT_TRUE(t.hasMatch() && h.hasMatch()) << page.toStdString();
        EXPECT_EQ(t.captured(1).toStdString(), h.captured(1).toStdString()) << page.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("<script"), Qt::CaseInsensitive))
            << page.toStdString();
    }
}

TEST(GuideLinksTest, EveryLinkAndImageResolves) {
    static const QRegularExpression href(QStringLiteral("<a\\s+href=\"([^\"]*)\""));
    static const QRegularExpression src(QStringLiteral("<img\\s+src=\"([^\"]*)\""));
    const QMap<QString, QSet<QString>> anchors = pageAnchors();
    int links = 0;
    for (const QString& page : anchors.keys()) {
        const QString text = readText(GuideDir + u'/' + page);
        for (const QRegularExpressionMatch& m : href.globalMatch(text)) {
            QString target = m.captured(1);
            // Outside addresses are not the guide's to check; the guide has none today.
            if (target.contains(QStringLiteral("://")) || target.startsWith(QStringLiteral("mailto:")))
                continue;
            if (target.startsWith(u'#')) target = page + target;
            ++links;
            EXPECT_EQ(targetProblem(anchors, target).toStdString(), "")
                << page.toStdString() << " links to " << m.captured(1).toStdString();
        }
        for (const QRegularExpressionMatch& m : src.globalMatch(text)) {
            const QString image = m.captured(1);
            EXPECT_TRUE(image.startsWith(QStringLiteral("images/")) && image.endsWith(QStringLiteral(".png")))
                << page.toStdString() << ": " << image.toStdString();
            EXPECT_TRUE(QFileInfo(GuideDir + u'/' + image).isFile())
                << page.toStdString() << " shows missing " << image.toStdString();
        }
    }
    EXPECT_GT(links, 0);
}

TEST(GuideLinksTest, ContentsEntriesLeadToPagesAndSectionsInOrder) {
    const QMap<QString, QSet<QString>> anchors = pageAnchors();
    const QList<QStringList> rows = tableLines(QStringLiteral("contents.txt"));
    ASSERT_FALSE(rows.isEmpty());
    QString topic;
    QSet<QString> topicsListed;
    for (const QStringList& row : rows) {
        ASSERT_EQ(row.size(), 3) << row.join(u'|').toStdString();
        const QString& depth = row[0];
        const QString& target = row[1];
        ASSERT_TRUE(depth == u"0" || depth == u"1") << row.join(u'|').toStdString();
        EXPECT_FALSE(row[2].trimmed().isEmpty()) << target.toStdString();
        EXPECT_EQ(targetProblem(anchors, target).toStdString(), "") << target.toStdString();
        const QString page = target.section(u'#', 0, 0);
        if (depth == u"0") {
            EXPECT_FALSE(target.contains(u'#')) << "a topic is a whole page: " << target.toStdString();
            topic = page;
            topicsListed.insert(page);
        } else {
            // A section belongs to the topic above it.
            ASSERT_FALSE(topic.isEmpty()) << "section before any topic: " << target.toStdString();
            EXPECT_EQ(page.toStdString(), topic.toStdString()) << target.toStdString();
        }
    }
    // Every page is reachable from the contents.
    for (const QString& page : anchors.keys())
        EXPECT_TRUE(topicsListed.contains(page)) << page.toStdString() << " is not in the contents";
}

TEST(GuideLinksTest, KeywordsAreLowerCaseAndLeadToPages) {
    const QMap<QString, QSet<QString>> anchors = pageAnchors();
    const QList<QStringList> rows = tableLines(QStringLiteral("keywords.txt"));
    EXPECT_GE(rows.size(), 60);
    QSet<QString> seen;
    for (const QStringList& row : rows) {
        ASSERT_EQ(row.size(), 2) << row.join(u'|').toStdString();
        EXPECT_FALSE(row[0].trimmed().isEmpty());
        EXPECT_EQ(row[0].toStdString(), row[0].toLower().toStdString());
        EXPECT_EQ(row[0].toStdString(), row[0].trimmed().toStdString());
        EXPECT_EQ(targetProblem(anchors, row[1]).toStdString(), "") << row[0].toStdString();
        const QString entry = row.join(u'\t');
        EXPECT_FALSE(seen.contains(entry)) << "listed twice: " << entry.toStdString();
        seen.insert(entry);
    }
}

TEST(GuideLinksTest, ContextNumbersAreUniqueAndIncludeGettingStarted) {
    const QMap<QString, QSet<QString>> anchors = pageAnchors();
    QMap<int, QString> contexts;
    for (const QStringList& row : tableLines(QStringLiteral("contexts.txt"))) {
        ASSERT_EQ(row.size(), 2) << row.join(u'|').toStdString();
        bool ok = false;
        const int number = row[0].toInt(&ok);
        ASSERT_TRUE(ok && number > 0) << row[0].toStdString();
        EXPECT_FALSE(contexts.contains(number)) << "context " << number << " given twice";
        contexts.insert(number, row[1]);
        EXPECT_EQ(targetProblem(anchors, row[1]).toStdString(), "") << number;
    }
    // Help > Getting started... opens context 200.
    EXPECT_EQ(contexts.value(200).toStdString(), "getting-started.html");
}

TEST(GuideLinksTest, ResourceListNamesEveryGuideFileOnce) {
    QFile qrc(GuideDir + QStringLiteral("/guide.qrc"));
    ASSERT_TRUE(qrc.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&qrc);
    QStringList listed;
    QString prefix;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("qresource"))
            prefix = xml.attributes().value(QStringLiteral("prefix")).toString();
        else if (xml.name() == QLatin1String("file"))
            listed.append(xml.readElementText());
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(prefix.toStdString(), "/guide");

    QStringList expected = guideFiles(QString(), QStringLiteral("*.html")) +
                           guideFiles(QString(), QStringLiteral("*.txt")) +
                           guideFiles(QString(), QStringLiteral("*.css")) +
                           guideFiles(QStringLiteral("images"), QStringLiteral("*.png"));
    for (const QString& name : listed)
        EXPECT_TRUE(QFileInfo(GuideDir + u'/' + name).isFile()) << "listed but missing: "
                                                               << name.toStdString();
    QStringList sortedListed = listed;
    sortedListed.sort();
    expected.sort();
    EXPECT_EQ(sortedListed.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
    EXPECT_EQ(QSet<QString>(listed.begin(), listed.end()).size(), listed.size())
        << "a file is listed twice";
}

// PNG width and height from the IHDR chunk, which the format requires to come first.
std::optional<QSize> pngSize(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray head = file.read(24);
    if (head.size() < 24 || !head.startsWith("\x89PNG\r\n\x1a\n") || head.mid(12, 4) != "IHDR")
        return std::nullopt;
    auto be32 = [&head](int at) {
        return (quint32(quint8(head[at])) << 24) | (quint32(quint8(head[at + 1])) << 16) |
               (quint32(quint8(head[at + 2])) << 8) | quint32(quint8(head[at + 3]));
    };
    return QSize(int(be32(16)), int(be32(20)));
}

TEST(GuideLinksTest, ImagesArePngsOfModerateSize) {
    qint64 total = 0;
    const QStringList images = guideFiles(QStringLiteral("images"), QStringLiteral("*"));
    for (const QString& image : images) {
        const QString path = GuideDir + u'/' + image;
        const std::optional<QSize> size = pngSize(path);
        ASSERT_TRUE(size.has_value()) << image.toStdString() << " is not a PNG";
        EXPECT_LE(size->width(), 900) << image.toStdString();
        total += QFileInfo(path).size();
    }
    // Compiled into the program: a few hundred kilobytes in all.
    EXPECT_LE(total, 800 * 1024);
}

} // namespace
