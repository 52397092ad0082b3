// The folder scanner: the order of its events, its masks, hidden entries, and a handler that
// fails in the middle of a search.
#include "archive/TreeScan.h"
#include "support/FakeFileSystem.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class TreeScannerTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file : {"B.gif", "a.gif", "C.GIF", "notes.txt", "sub2/x.gif", "Sub1/y.gif",
                                 "Sub1/deep/z.gif"})
            fake.addFile(QStringLiteral("/c/") + file, file);
        scanner.setInitialDirectory("/c");
        scanner.setFileMask("*.gif");
        // Every event as one line: "+F" entering, "-F" done, "P=size" a file, "end".
        scanner.OnDirectoryFound = [&](TTreeScanner& s) { log << "+" + s.FileFound(); };
        scanner.OnDirectoryDone = [&](TTreeScanner& s) { log << "-" + s.FileFound(); };
        scanner.OnFileFound = [&](TTreeScanner& s) {
            log << s.FileFound().mid(3) + '=' + QString::number(s.FileSize());
        };
        scanner.OnSearchDone = [&](TTreeScanner& s) {
            log << (s.SearchInProgress() ? "?" : "end");
        };
    }
    QString search() {
        log.clear();
        scanner.Search();
        return log.join(' ');
    }

    FakeFileSystem fake;
    TTreeScanner scanner{fake};
    QStringList log;
};

TEST_F(TreeScannerTest, EachFolderItsFilesInCaseInsensitiveOrderThenItsSubfoldersDepthFirst) {
    EXPECT_EQ(search(), "+/c/ a.gif=5 B.gif=5 C.GIF=5 +/c/Sub1/ Sub1/y.gif=10 +/c/Sub1/deep/ "
                        "Sub1/deep/z.gif=15 -/c/Sub1/deep/ -/c/Sub1/ +/c/sub2/ sub2/x.gif=10 "
                        "-/c/sub2/ -/c/ end");
    scanner.setRecursive(false);
    EXPECT_EQ(search(), "+/c/ a.gif=5 B.gif=5 C.GIF=5 -/c/ end");
    scanner.setInitialDirectory("/no/such");
    EXPECT_EQ(search(), "+/no/such/ -/no/such/ end");
}

TEST_F(TreeScannerTest, MasksAreSortedWithoutDuplicatesAFileComesOnceAndCaseTwinsBoth) {
    fake.addFile("/c/2004-06-15-12ne01.gif", "ne");
    fake.addFile("/c/A.gif", "A"); // another file than a.gif where letter case counts
    scanner.setRecursive(false);
    scanner.setFileMaskCommaText(R"(*ne01.gif, *.GIF "*.gif" *.gif,*NE01.GIF)");
    EXPECT_EQ(scanner.masks(), (QStringList{"*.GIF", "*ne01.gif"}));
    EXPECT_EQ(scanner.FileMask(), "*.GIF");
    EXPECT_EQ(search(), "+/c/ 2004-06-15-12ne01.gif=2 A.gif=1 a.gif=5 B.gif=5 C.GIF=5 -/c/ end");
    scanner.setFileMaskCommaText("");
    EXPECT_EQ(search(), "+/c/ -/c/ end");
}

TEST_F(TreeScannerTest, MaskWritesDuringASearchAreIgnoredAndCountFromSearchDone) {
    scanner.OnFileFound = [&](TTreeScanner& s) {
        log << s.FileFound().mid(3);
        s.setFileMask("*.txt");
        s.setFileMaskCommaText("*.txt");
    };
    scanner.OnSearchDone = [&](TTreeScanner& s) {
        log << "end " + s.FileMaskCommaText();
        if (s.FileMask() == "*.txt") return;
        s.setFileMask("*.txt"); // idle again: the write counts and a new search may start
        s.Search();
    };
    scanner.setRecursive(false);
    EXPECT_EQ(search(), "+/c/ a.gif B.gif C.GIF -/c/ end *.gif +/c/ notes.txt -/c/ end *.txt");
}

TEST_F(TreeScannerTest, HiddenEntriesOnlyWhenAskedAndSystemFoldersNever) {
    fake.addFile("/c/.hidden.gif");
    fake.addFile("/c/.cache/in.gif");
    fake.addFile("/c/System/sys.gif");
    fake.setSystem("/c/System", true);
    scanner.setRecursive(false);
    EXPECT_EQ(search(), "+/c/ a.gif=5 B.gif=5 C.GIF=5 -/c/ end");
    scanner.setFindHiddenFiles(true);
    EXPECT_EQ(search(), "+/c/ .hidden.gif=0 a.gif=5 B.gif=5 C.GIF=5 -/c/ end");
    scanner.setRecursive(true);
    EXPECT_FALSE(search().contains("in.gif"));
    scanner.setFindHiddenFolders(true);
    EXPECT_TRUE(search().contains("C.GIF=5 +/c/.cache/ .cache/in.gif=0 -/c/.cache/ +/c/Sub1/"));
    EXPECT_FALSE(search().contains("System"));
}

TEST_F(TreeScannerTest, AHandlerErrorEndsTheSearchAndLeavesTheScannerIdle) {
    const auto logFile = scanner.OnFileFound;
    scanner.OnFileFound = [&](TTreeScanner& s) {
        logFile(s);
        if (s.FileFound().endsWith("y.gif")) throw std::runtime_error("chart does not decode");
    };
    EXPECT_THROW(search(), std::runtime_error);
    EXPECT_EQ(log.last(), "Sub1/y.gif=10"); // nothing after it, no "end"
    EXPECT_FALSE(scanner.SearchInProgress());
    scanner.setFileMask("*.txt");
    EXPECT_EQ(search(), "+/c/ notes.txt=9 +/c/Sub1/ +/c/Sub1/deep/ -/c/Sub1/deep/ -/c/Sub1/ "
                        "+/c/sub2/ -/c/sub2/ -/c/ end");
}

TEST_F(TreeScannerTest, KeepResponsiveRunsBetweenEventsWithoutChangingTheirOrder) {
    const QString order = search();
    scanner.setKeepResponsive([&] { log << "*"; }, 2);
    const QString withCalls = search();
    // Each folder before its own event, and after each second file of a folder.
    EXPECT_TRUE(withCalls.startsWith("* +/c/ a.gif=5 B.gif=5 * C.GIF=5 * +/c/Sub1/"));
    EXPECT_EQ(log.count("*"), 5);
    log.removeAll("*");
    EXPECT_EQ(log.join(' '), order);
}

} // namespace
