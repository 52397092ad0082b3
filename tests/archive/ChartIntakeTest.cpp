// Filing opened charts into the archive: where a chart is shown from, the archive copy's name
// and time, and that nothing a chart's comment carries can write outside the archive folder.
#include "archive/ChartIntake.h"
#include "platform/LocalFileSystem.h"
#include "support/FakeFileSystem.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Archive = QStringLiteral("/home/u/Documents/My Pelagon Files/Chart Archive/");
const QString Chart = QStringLiteral("/home/u/Downloads/area-ne01.gif");
const QDateTime DownloadTime(QDate(2026, 3, 1), QTime(8, 30));
constexpr auto Whole = archive::ChartPicture::Whole;

TEST(ChartTime, DateAndHourFromTheirPositionsInTheTimeStamp) {
    const struct {
        const char* timestamp;
        QDateTime time; // invalid: nothing
    } cases[] = {
        {"2004-06-15-12", QDateTime(QDate(2004, 6, 15), QTime(12, 0))},
        {"2000/02/29 23ne01", QDateTime(QDate(2000, 2, 29), QTime(23, 0))},
        {"2004-06-15-1", {}}, // too short to hold the hour
        {"2004-06-15-24", {}},
        {"1900-02-29-12", {}},
        {"2004-13-01-12", {}},
        {"+004-06-15-12", {}},
        {"2004- 6-15-12", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(archive::chartTimeOf(c.timestamp).value_or(QDateTime()), c.time) << c.timestamp;
}

class ChartIntakeTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake.addFile(Chart, "new chart", DownloadTime);
        fake.addFile(Archive + "2004-06-14-12ne01.gif", "archived", DownloadTime);
        fake.addFile("/home/u/Pictures/family.gif", "family", DownloadTime);
        fake.calls.clear();
    }
    std::optional<QString> intake(const QString& path, const QString& timestamp) {
        return archive::archiveIntake(fake, path, timestamp, Archive, Whole);
    }
    FakeFileSystem fake;
};

TEST_F(ChartIntakeTest, AnOutsideChartIsCopiedUnderItsTimeStampWithItsDateAndHour) {
    const QString copy = Archive + "2004-06-15-12.gif";
    EXPECT_EQ(intake(Chart, "2004-06-15-12"), copy);
    EXPECT_EQ(fake.lastWriteTime(copy), QDateTime(QDate(2004, 6, 15), QTime(12, 0)));
    fake.addFile(Chart, "newer chart", DownloadTime); // opened again: the one copy is replaced
    EXPECT_EQ(intake(Chart, "2004-06-15-12"), copy);
    EXPECT_EQ(fake.contents(copy), QByteArray("newer chart"));
    EXPECT_EQ(fake.nodes.keys().filter("2004-06-15").size(), 1);
    // Too short for the hour: archived all the same, with the copy's own time.
    EXPECT_EQ(intake(Chart, "2004-06-15-1"), Archive + "2004-06-15-1.gif");
    EXPECT_EQ(fake.lastWriteTime(Archive + "2004-06-15-1.gif"), DownloadTime);
}

TEST_F(ChartIntakeTest, FromTheArchiveWithoutATimeStampOrWithAPathForOneTheChartIsShownInPlace) {
    const QString archived = Archive + "2004-06-14-12ne01.gif";
    EXPECT_EQ(intake(archived, "2099-01-01-00"), archived);
    EXPECT_EQ(intake(Chart, ""), Chart);
    for (const QString& timestamp :
         {QString("../../Pictures/family"), QString("/home/u/Pictures/family"),
          QString("..\\..\\Pictures\\family"), QString("Pictures/family"), QString(".."),
          QString("..."), QString(" . "), QString("2004..06"), QString("a\nb"), QString("a\x7f"),
          QString("a") + QChar(0) + "/../x", QString("a") + QChar(0x85), QString(252, 'x'),
          QString(".2004-06-15-12"), QString(".x.gif")})
        EXPECT_EQ(intake(Chart, timestamp), Chart) << timestamp.toStdString();
    EXPECT_EQ(archive::archiveIntake(fake, Chart, "2004-06-15-12", "", Whole), Chart); // no folder
    EXPECT_TRUE(fake.calls.isEmpty()) << fake.calls.join('\n').toStdString();
    // The longest name that still fits, and a folder in other letter case, are archived.
    EXPECT_EQ(intake(Chart, QString(251, 'x')), Archive + QString(251, 'x') + ".gif");
    fake.addFile(Archive.toLower() + "x.gif");
    EXPECT_EQ(intake(Archive.toLower() + "x.gif", "2004-06-16-12"), Archive + "2004-06-16-12.gif");
}

TEST_F(ChartIntakeTest, AFailedCopyShowsNothingAndTheArchiveCopyIsNeverCopiedOntoItself) {
    fake.addFile(Archive + "2004-06-15-12.gif", "old copy", DownloadTime);
    fake.failOn(FakeFileSystem::Operation::Copy, Archive + "2004-06-15-12.gif");
    EXPECT_EQ(intake(Chart, "2004-06-15-12"), std::nullopt);
    EXPECT_EQ(fake.lastWriteTime(Archive + "2004-06-15-12.gif"), DownloadTime);
    fake.addAlias("/mnt/link/2004-06-14-12ne01.gif", Archive + "2004-06-14-12ne01.gif");
    EXPECT_EQ(intake("/mnt/link/2004-06-14-12ne01.gif", "2004-06-14-12ne01"),
              Archive + "2004-06-14-12ne01.gif");
    EXPECT_EQ(fake.calls.filter("copy").size(), 1); // the failed one only
}

TEST(ChartIntakeOnDisk, CopiesAndStampsAtomicallyAndSeesTheArchiveThroughALink) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Archive"));
    QFile chart(dir.filePath("area-ne01.gif"));
    ASSERT_TRUE(chart.open(QIODevice::WriteOnly) && chart.write("chart") == 5);
    chart.close();
    platform::LocalFileSystem disk;
    const QString archiveFolder = dir.filePath("Archive") + '/';
    const QString copy = archiveFolder + "2004-06-15-12ne01.gif";
    EXPECT_EQ(
        archive::archiveIntake(disk, chart.fileName(), "2004-06-15-12ne01", archiveFolder, Whole),
        copy);
    EXPECT_EQ(QFileInfo(copy).lastModified(), QDateTime(QDate(2004, 6, 15), QTime(12, 0)));
    EXPECT_EQ(archive::archiveIntake(disk, chart.fileName(), "../area-ne01", archiveFolder, Whole),
              chart.fileName());
    EXPECT_EQ(QDir(archiveFolder).entryList(QDir::Files | QDir::Hidden),
              QStringList{copy.mid(archiveFolder.size())});
    ASSERT_TRUE(QFile::link(dir.filePath("Archive"), dir.filePath("Linked")));
    EXPECT_EQ(archive::archiveIntake(disk, dir.filePath("Linked/2004-06-15-12ne01.gif"),
                                     "2004-06-15-12ne01", archiveFolder, Whole),
              copy);
    EXPECT_EQ(QFileInfo(copy).size(), 5);
}

} // namespace
