// Tidying the archive: which charts are past "Delete charts after", the purge's question, and
// removing what the user confirmed.
#include "archive/ArchiveTidyUp.h"
#include "support/FakeFileSystem.h"
#include "support/FakeMessageBoxes.h"

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

// Nothing is deleted on the first yes: what the trash refuses stays, is named with its reason,
// and goes for good only on a second, separate yes.
TEST(RemoveCharts, ToTheTrashOnlyAndWhatItRefusesDeletedOnlyOnASecondYes) {
    using platform::Button;
    for (const Button second : {Button::No, Button::Yes}) {
        FakeFileSystem fake;
        FakeMessageBoxes boxes;
        boxes.answers = {second};
        for (const char* name : {"a.gif", "b.gif", "c.gif"})
            fake.addFile(Archive + name);
        fake.refuseTrash(Archive + "b.gif", platform::TrashRefusal::NoSpace);
        fake.refuseTrash(Archive + "c.gif", platform::TrashRefusal::TrashReadOnly);
        fake.failOn(FakeFileSystem::Operation::Delete, Archive + "c.gif");
        const auto removed = archive::removeCharts(
            fake, boxes,
            {Archive + "a.gif", Archive + "b.gif", Archive + "c.gif", Archive + "x.gif"},
            "Chart archive tidy-up");
        EXPECT_EQ(fake.trashed.keys(), QStringList({Archive + "a.gif"}));
        // Every chart offered to the trash before anything is deleted; x.gif was gone already.
        QStringList expected = {"trash " + Archive + "a.gif", "trash " + Archive + "b.gif",
                                "trash " + Archive + "c.gif", "trash " + Archive + "x.gif"};
        if (second == Button::Yes)
            expected += {"delete " + Archive + "b.gif", "delete " + Archive + "c.gif"};
        EXPECT_EQ(fake.calls, expected);
        EXPECT_EQ(fake.exists(Archive + "b.gif"), second == Button::No);
        EXPECT_TRUE(fake.exists(Archive + "c.gif")); // it cannot be deleted either
        EXPECT_EQ(removed.deletedForGood, second == Button::Yes ? 1 : 0);
        ASSERT_EQ(boxes.requests.size(), 1);
        const platform::MessageBoxRequest& asked = boxes.requests[0];
        const QStringList lines = asked.text.split('\r');
        ASSERT_GE(lines.size(), 4);
        EXPECT_EQ(lines[0], "b.gif: the disk is full");
        EXPECT_EQ(lines[1], "c.gif: the trash cannot be written to");
        EXPECT_EQ(lines[2], "");
        EXPECT_EQ(asked.defaultButton, Button::No);
        EXPECT_EQ(asked.yesText, "Delete for good");
    }
}

} // namespace
