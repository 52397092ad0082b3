// Tidying the archive: which charts are past "Delete charts after", the purge's question, and
// removing what the user confirmed.
#include "archive/ArchiveTidyUp.h"
#include "support/FakeFileSystem.h"

#include <gtest/gtest.h>

namespace {

const QString Archive = QStringLiteral("/home/skipper/Documents/My Pelagon Files/Chart Archive/");
const QDate D(2026, 3, 20);
const QDateTime Now(D, QTime(15, 45));

QDateTime daysBeforeD(int days, int hour, int minute = 0, int second = 0) {
    return QDateTime(D.addDays(-days), QTime(hour, minute, second));
}

TEST(AgeRule, PastRetentionWhenWrittenBeforeTheMidnightStartingDayDMinusN) {
    const struct {
        int daysToKeep;
        QDateTime written;
        bool past;
    } cases[] = {
        {7, daysBeforeD(7, 0), false},         {7, daysBeforeD(8, 23), true},
        {7, daysBeforeD(8, 23, 59, 59), true}, {7, daysBeforeD(7, 0, 0, 1), false},
        {7, daysBeforeD(-3, 12), false},       {1, daysBeforeD(1, 0), false},
        {1, daysBeforeD(2, 23), true},         {0, daysBeforeD(400, 12), false},
        {-7, daysBeforeD(400, 12), false},     {7, QDateTime(), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(archive::isPastRetention(c.written, c.daysToKeep, Now), c.past)
            << c.daysToKeep << " " << c.written.toString(Qt::ISODate).toStdString();
    EXPECT_FALSE(archive::isPastRetention(std::nullopt, 7, Now));
    // Only now's date counts, not its time of day.
    EXPECT_FALSE(archive::isPastRetention(daysBeforeD(7, 0), 7, QDateTime(D, QTime(23, 59))));
}

TEST(OldCharts, TheArchiveFolderItselfInTheOrderFoundWithTheirQuestion) {
    FakeFileSystem fake;
    fake.addFile(Archive + "b-fl14.GIF", "", daysBeforeD(8, 23));
    fake.addFile(Archive + "a-ne01.gif", "", daysBeforeD(15, 12));
    fake.addFile(Archive + "c-ne01.gif", "", daysBeforeD(7, 0));
    fake.addFile(Archive + "D-ma03.gif", "", daysBeforeD(20, 9));
    fake.addFile(Archive + "notes.txt", "", daysBeforeD(90, 0));
    fake.addFile(Archive + "old/e-ne01.gif", "", daysBeforeD(400, 0));
    fake.addFile(Archive + "unreadable.gif", "", daysBeforeD(90, 0));
    fake.failOn(FakeFileSystem::Operation::ReadTime, Archive + "unreadable.gif");
    const QStringList old = archive::oldCharts(fake, Archive, 7, Now);
    EXPECT_EQ(
        old, (QStringList{Archive + "a-ne01.gif", Archive + "b-fl14.GIF", Archive + "D-ma03.gif"}));
    EXPECT_EQ(archive::purgeQuestion(old, 7),
              "a-ne01.gif\rb-fl14.GIF\rD-ma03.gif\r\r"
              "These files in the Chart Archive are older than 7 days.\r"
              "Do you want to delete them now?");
    fake.calls.clear();
    EXPECT_TRUE(archive::oldCharts(fake, Archive, 0, Now).isEmpty());
    EXPECT_TRUE(fake.calls.isEmpty()); // "Never": not even searched
}

TEST(RemoveCharts, ToTheTrashWhereThereIsOneElseDeletedAndFailuresPassedOver) {
    for (const bool hasTrash : {true, false}) {
        FakeFileSystem fake;
        fake.hasTrash = hasTrash;
        for (const char* name : {"a.gif", "b.gif", "c.gif"})
            fake.addFile(Archive + name);
        fake.failOn(FakeFileSystem::Operation::Trash, Archive + "b.gif");
        fake.failOn(FakeFileSystem::Operation::Delete, Archive + "c.gif");
        // a: trash (or deleted); b: the trash refuses it, deleted; c: trash or stays; x: none.
        const auto counts = archive::removeCharts(
            fake, {Archive + "a.gif", Archive + "b.gif", Archive + "c.gif", Archive + "x.gif"});
        EXPECT_EQ(QList<int>({counts.movedToTrash, counts.deleted, counts.kept}),
                  hasTrash ? QList<int>({2, 1, 1}) : QList<int>({0, 2, 2}));
        EXPECT_EQ(fake.trashed.size(), counts.movedToTrash);
        EXPECT_EQ(fake.exists(Archive + "c.gif"), !hasTrash);
        // What was deleted outright is named, with the reason; nothing is said otherwise.
        const auto notice = archive::deletedOutrightNotice(counts, "Chart archive tidy-up");
        ASSERT_TRUE(notice.has_value());
        EXPECT_EQ(notice->text, QString(hasTrash ? "b.gif\r" : "a.gif\rb.gif\r") +
                                    "\rNo trash could be made for these charts, so they were "
                                    "deleted for good.");
    }
    EXPECT_FALSE(archive::deletedOutrightNotice({}, "").has_value());
}

} // namespace
