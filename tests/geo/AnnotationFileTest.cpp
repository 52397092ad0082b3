// The annotation file: value forms of lines and texts, how many entries are read, and what a
// load, a save and a clear leave in the file.
#include "geo/AnnotationFile.h"

#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using platform::ProfileFile;

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QList<QPoint> points(std::initializer_list<QPoint> list) {
    return QList<QPoint>(list);
}

TEST(AnnotationFileName, IsTheAreaCodeInTheProgramInfoFolder) {
    EXPECT_EQ(geo::annotationFileName("/docs/My Pelagon Files/Program Info/", "ne01"),
              "/docs/My Pelagon Files/Program Info/ne01.ini");
    EXPECT_EQ(geo::annotationFileName("/info/", ""), "/info/.ini");
}

TEST(CommaItems, SplitsAsTheCommaTextOfAStringList) {
    const struct {
        const char* value;
        QStringList items;
    } cases[] = {
        {"", {}},
        {" \t ", {}},
        {"10,20,30,40", {"10", "20", "30", "40"}},
        {"10, 20 ,\t30 , 40", {"10", "20", "30", "40"}},
        {"10 20", {"10", "20"}},
        {"10,,20", {"10", "", "20"}},
        {"10, ,20", {"10", "", "20"}},
        {"10,", {"10", ""}},
        {"10 , ", {"10", ""}},
        {",10", {"", "10"}},
        {",,", {"", "", ""}},
        {"\"a, b\",c", {"a, b", "c"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"open, to the end", {"open, to the end"}},
        {"\"a\"b", {"a", "b"}},
        {"a\"b\"", {"a\"b\""}},
        {"\x01x\x1f,y", {"x", "y"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(geo::commaItems(QString::fromUtf8(c.value)), c.items) << c.value;
}

TEST(LineFromValue, ReadsPairsAndSkipsWhatIsNoPoint) {
    const struct {
        const char* value;
        QList<QPoint> points; // empty: the entry is skipped
    } cases[] = {
        {"120,45,300,210", points({{120, 45}, {300, 210}})},
        {"10, 20, 30, 40", points({{10, 20}, {30, 40}})},
        {"10 20 30 40", points({{10, 20}, {30, 40}})},
        {"1,2,3,4,5", points({{1, 2}, {3, 4}})},
        {"1,2,3,4,5,6", points({{1, 2}, {3, 4}, {5, 6}})},
        {"1,2,3,4,x", points({{1, 2}, {3, 4}})},
        {"1,2,3,4,", points({{1, 2}, {3, 4}})},
        {"0,0,65535,65535", points({{0, 0}, {65535, 65535}})},
        {"+1,-0,3,004", points({{1, 0}, {3, 4}})},
        {"\"1\",\" 2 \",3,4", points({{1, 2}, {3, 4}})},
        {"1,2,3", {}},
        {"", {}},
        {"1,2,x,4", {}},
        {"1,2,3,4,5,6,7,y", {}},
        {"10,,20,30,40", {}},
        {",10,20,30,40", {}},
        {"1,2,70000,4", {}},
        {"1,2,-1,4", {}},
        {"1,2,65536,4", {}},
        {"1,2,99999999999999999999,4", {}},
        {"1,2,0x10,4", {}},
        {"1,2,3.5,4", {}},
        {"1,2,+,4", {}},
    };
    for (const auto& c : cases) {
        const auto line = geo::lineFromValue(QString::fromUtf8(c.value));
        EXPECT_EQ(line.has_value(), !c.points.isEmpty()) << c.value;
        if (line) {
            EXPECT_EQ(line->points, c.points) << c.value;
        }
    }
}

TEST(TextFromValue, SplitsAtTheFirstTwoCommasAndKeepsTheRest) {
    const struct {
        const char* value;
        bool ok;
        QPoint centre;
        const char* text;
    } cases[] = {
        {"150,60,Shelf edge", true, {150, 60}, "Shelf edge"},
        {"10,20,a, b, c", true, {10, 20}, "a, b, c"},
        {"10,20,", true, {10, 20}, ""},
        {" 10 , 20 , x ", true, {10, 20}, " x "},
        {"0,65535,\"q\"", true, {0, 65535}, "\"q\""},
        {"10,20", false, {}, ""},
        {"10", false, {}, ""},
        {"", false, {}, ""},
        {",20,x", false, {}, ""},
        {"a,20,x", false, {}, ""},
        {"10,2 0,x", false, {}, ""},
        {"70000,20,x", false, {}, ""},
        {"10,-1,x", false, {}, ""},
        {"0x10,20,x", false, {}, ""},
    };
    for (const auto& c : cases) {
        const auto text = geo::textFromValue(QString::fromUtf8(c.value));
        ASSERT_EQ(text.has_value(), c.ok) << c.value;
        if (!text) continue;
        EXPECT_EQ(text->centre, c.centre) << c.value;
        EXPECT_EQ(text->text, QString::fromUtf8(c.text)) << c.value;
    }
}

TEST(TextFromValue, ReadsTheRestAfterXWithRoomFor999Characters) {
    const QString longText(1500, u'a');
    // "20," takes 3 of the 999 characters of the rest.
    EXPECT_EQ(geo::textFromValue("10,20," + longText)->text, QString(996, u'a'));
    EXPECT_EQ(geo::textFromValue("10,20000," + longText)->text, QString(993, u'a'));
    EXPECT_EQ(geo::textFromValue("10,20," + QString(996, u'b'))->text, QString(996, u'b'));
    // A y whose comma lies beyond the 999 characters makes no entry.
    EXPECT_FALSE(geo::textFromValue("10," + QString(999, u' ') + "20,x").has_value());
}

TEST(AnnotationValues, WrittenFormsReadBack) {
    const AnnotationLine line{points({{120, 45}, {300, 210}, {0, 65535}})};
    EXPECT_EQ(geo::lineValue(line), "120,45,300,210,0,65535");
    EXPECT_EQ(geo::lineFromValue(geo::lineValue(line))->points, line.points);
    const AnnotationText text{"warm, eddy %1 \"x\"", QPoint(150, 60)};
    EXPECT_EQ(geo::textValue(text), "150,60,warm, eddy %1 \"x\"");
    const auto back = geo::textFromValue(geo::textValue(text));
    EXPECT_EQ(back->text, text.text);
    EXPECT_EQ(back->centre, text.centre);
}

class AnnotationFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path() const { return m_dir.filePath("ne01.ini"); }
    QTemporaryDir m_dir;
};

TEST_F(AnnotationFileTest, ReadsTheKeysZeroToTheNumberOfValuesListed) {
    const struct {
        const char* name;
        QByteArray file;
        int lines;
        int texts;
    } cases[] = {
        {"all", "[Lines]\r\n0=1,2,3,4\r\n1=5,6,7,8\r\n[Text]\r\n0=1,2,a\r\n1=3,4,b\r\n", 2, 2},
        // Three keys with values: 0, 1 and 2 are looked up, 2 is missing and 3 stays unread.
        {"gap", "[Lines]\r\n0=1,2,3,4\r\n1=1,2,3,4\r\n3=1,2,3,4\r\n", 2, 0},
        // The empty value is not counted, so only 0 and 1 are looked up.
        {"emptyValue", "[Text]\r\n0=\r\n1=1,2,a\r\n2=1,2,b\r\n", 0, 1},
        {"emptyLineValue", "[Lines]\r\n0=\r\n1=1,2,3,4\r\n2=1,2,3,4\r\n", 1, 0},
        {"unreadableSkipped", "[Lines]\r\n0=1,2,3\r\n1=x\r\n2=1,2,3,4\r\n", 1, 0},
        {"keysInAnyOrder", "[Lines]\r\n1=1,2,3,4\r\n0=5,6,7,8\r\n", 2, 0},
        {"otherKeysCount", "[Lines]\r\nx=1\r\ny=2\r\n0=1,2,3,4\r\n", 1, 0},
        {"sectionCase", "[lines]\r\n0=1,2,3,4\r\n[TEXT]\r\n0=1,2,a\r\n", 1, 1},
        {"nothing", "[DataLevel]\r\nRevision=1\r\n", 0, 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(writeAll(path(), c.file));
        const ProfileFile file(path());
        const geo::Annotations read = geo::readAnnotations(file);
        EXPECT_EQ(read.lines.size(), c.lines) << c.name;
        EXPECT_EQ(read.texts.size(), c.texts) << c.name;
        EXPECT_EQ(readAll(path()), c.file) << c.name;
    }
    // Order is key order: entry 0 first whatever the lines' order in the file.
    ASSERT_TRUE(writeAll(path(), "[Lines]\r\n1=1,2,3,4\r\n0=5,6,7,8\r\n"));
    EXPECT_EQ(geo::readAnnotations(ProfileFile(path())).lines[0].points[0], QPoint(5, 6));
}

TEST_F(AnnotationFileTest, LoadingANewAreaCreatesItsFileWithTheLevelOnly) {
    ProfileFile file(path());
    bool writeFailed = true;
    const geo::Annotations read = geo::loadAnnotations(file, &writeFailed);
    EXPECT_FALSE(writeFailed);
    EXPECT_TRUE(read.lines.isEmpty());
    EXPECT_TRUE(read.texts.isEmpty());
    EXPECT_EQ(readAll(path()), "[DataLevel]\r\nRevision=1\r\n");
}

TEST_F(AnnotationFileTest, LoadingWritesTheLevelOnlyWhenItHasNoKeys) {
    const struct {
        const char* name;
        QByteArray file;
        QByteArray after;
    } cases[] = {
        {"levelPresent", "[Lines]\n0=1,2,3,4\n[DataLevel]\nRevision=7\n",
         "[Lines]\n0=1,2,3,4\n[DataLevel]\nRevision=7\n"},
        {"levelWithoutKeys", "[DataLevel]\n[Lines]\n0=1,2,3,4\n",
         "[DataLevel]\r\nRevision=1\r\n[Lines]\r\n0=1,2,3,4\r\n"},
        {"levelMissing", "[Lines]\n0=1,2,3,4\n",
         "[Lines]\r\n0=1,2,3,4\r\n[DataLevel]\r\nRevision=1\r\n"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(writeAll(path(), c.file));
        ProfileFile file(path());
        bool writeFailed = true;
        EXPECT_EQ(geo::loadAnnotations(file, &writeFailed).lines.size(), 1) << c.name;
        EXPECT_FALSE(writeFailed) << c.name;
        EXPECT_EQ(readAll(path()), c.after) << c.name;
    }
}

TEST_F(AnnotationFileTest, AFailedCreationIsReportedAndTheListsStillRead) {
    ProfileFile file(m_dir.filePath("missing folder/ne01.ini"));
    bool writeFailed = false;
    const geo::Annotations read = geo::loadAnnotations(file, &writeFailed);
    EXPECT_TRUE(writeFailed);
    EXPECT_TRUE(read.lines.isEmpty());
    EXPECT_FALSE(QDir(m_dir.filePath("missing folder")).exists());
    EXPECT_FALSE(geo::saveAnnotations(file, {AnnotationLine{points({{1, 2}, {3, 4}})}}, {}));
    EXPECT_FALSE(geo::eraseAnnotationSections(file));
}

TEST_F(AnnotationFileTest, SavingRewritesLinesThenTextAtTheEnd) {
    ASSERT_TRUE(writeAll(path(), "[Text]\r\n0=1,1,old\r\n5=9,9,stale\r\n"
                                 "[Lines]\r\n0=1,1,2,2\r\n"
                                 "[DataLevel]\r\nRevision=1\r\n"));
    ProfileFile file(path());
    const QList<AnnotationLine> lines = {AnnotationLine{points({{120, 45}, {300, 210}})},
                                         AnnotationLine{points({{1, 2}, {3, 4}, {5, 6}})}};
    const QList<AnnotationText> texts = {AnnotationText{"Shelf edge, warm", QPoint(150, 60)},
                                         AnnotationText{"", QPoint(0, 65535)}};
    ASSERT_TRUE(geo::saveAnnotations(file, lines, texts));
    EXPECT_EQ(readAll(path()), "[DataLevel]\r\nRevision=1\r\n"
                               "[Lines]\r\n0=120,45,300,210\r\n1=1,2,3,4,5,6\r\n"
                               "[Text]\r\n0=150,60,Shelf edge, warm\r\n1=0,65535,\r\n");
    const geo::Annotations read = geo::readAnnotations(ProfileFile(path()));
    ASSERT_EQ(read.lines.size(), 2);
    EXPECT_EQ(read.lines[1].points, lines[1].points);
    ASSERT_EQ(read.texts.size(), 2);
    EXPECT_EQ(read.texts[0].text, texts[0].text);
    EXPECT_EQ(read.texts[1].text, "");
    EXPECT_EQ(read.texts[1].centre, QPoint(0, 65535));
}

TEST_F(AnnotationFileTest, EmptyListsLeaveNoSection) {
    const struct {
        const char* name;
        QList<AnnotationLine> lines;
        QList<AnnotationText> texts;
        QByteArray after;
    } cases[] = {
        {"noTexts",
         {AnnotationLine{points({{1, 2}, {3, 4}})}},
         {},
         "[DataLevel]\r\nRevision=1\r\n[Lines]\r\n0=1,2,3,4\r\n"},
        {"noLines",
         {},
         {AnnotationText{"t", QPoint(1, 2)}},
         "[DataLevel]\r\nRevision=1\r\n[Text]\r\n0=1,2,t\r\n"},
        {"nothing", {}, {}, "[DataLevel]\r\nRevision=1\r\n"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(writeAll(path(), "[DataLevel]\r\nRevision=1\r\n[Lines]\r\n0=9,9,9,9\r\n"
                                     "[Text]\r\n0=9,9,x\r\n"));
        ProfileFile file(path());
        ASSERT_TRUE(geo::saveAnnotations(file, c.lines, c.texts)) << c.name;
        EXPECT_EQ(readAll(path()), c.after) << c.name;
    }
}

TEST_F(AnnotationFileTest, ClearAllErasesBothSectionsAtOnce) {
    ASSERT_TRUE(writeAll(path(), "[DataLevel]\r\nRevision=1\r\n[Lines]\r\n0=9,9,9,9\r\n"
                                 "[Text]\r\n0=9,9,x\r\n"));
    ProfileFile file(path());
    ASSERT_TRUE(geo::eraseAnnotationSections(file));
    EXPECT_FALSE(file.modified());
    EXPECT_EQ(readAll(path()), "[DataLevel]\r\nRevision=1\r\n");
}

TEST_F(AnnotationFileTest, OnlyThe3498FirstEntriesOfASectionComeBack) {
    QList<AnnotationLine> lines;
    for (int i = 0; i < 4000; ++i)
        lines.append(AnnotationLine{points({{i, 1}, {2, 3}})});
    ProfileFile file(path());
    ASSERT_TRUE(geo::saveAnnotations(file, lines, {}));
    const geo::Annotations read = geo::readAnnotations(ProfileFile(path()));
    ASSERT_EQ(read.lines.size(), 3498);
    EXPECT_EQ(read.lines.last().points[0], QPoint(3497, 1));
}

} // namespace
