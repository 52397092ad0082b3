// The list of charts the window holds: the order flipping and the tabs rely on.
#include "archive/ChartImages.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

QStringList paths(const archive::ChartImageList& list) {
    QStringList out;
    for (const ChartImage& entry : list)
        out.append(entry.path);
    return out;
}

TEST(ChartImageList, SortedIgnoringCaseWithoutDuplicates) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    archive::ChartImageList list;
    QImage one(2, 2, QImage::Format_Indexed8);
    // Added in any order, the charts come out in the order of their names; a name that differs
    // only in letter case is the same chart and is ignored, with its bitmap.
    const struct {
        const char* path;
        int index;
    } adds[] = {
        {"/a/2026-12-03-12ne01.gif", 0},  {"/a/2026-12-01-12ne01.gif", 0},
        {"/a/2026-12-10-12ne01.gif", 2},  {"/a/2026-12-02-12NE01.GIF", 1},
        {"/a/2026-12-02-12ne01.gif", -1}, {"/a/2026-12-09-12ne01.gif", 3},
        {"/A/2026-12-01-12NE01.gif", -1},
    };
    for (const auto& a : adds)
        EXPECT_EQ(list.add(QString::fromLatin1(a.path), one), a.index) << a.path;
    EXPECT_EQ(paths(list), (QStringList{"/a/2026-12-01-12ne01.gif", "/a/2026-12-02-12NE01.GIF",
                                        "/a/2026-12-03-12ne01.gif", "/a/2026-12-09-12ne01.gif",
                                        "/a/2026-12-10-12ne01.gif"}));
    EXPECT_EQ(list.indexOf("/A/2026-12-09-12NE01.GIF"), 3);
    EXPECT_EQ(list.indexOf("/a/2026-12-04-12ne01.gif"), -1);
    // The locale's order, not the bytes': an accented letter sorts beside its base letter, and
    // upper case does not come before all of lower case.
    archive::ChartImageList names;
    for (const char* p : {"zeta.gif", "\xc3\x89t\xc3\xa9.gif", "Alpha.gif", "beta.gif"})
        names.add(QString::fromUtf8(p), one);
    EXPECT_EQ(paths(names), (QStringList{"Alpha.gif", "beta.gif",
                                         QString::fromUtf8("\xc3\x89t\xc3\xa9.gif"), "zeta.gif"}));
    names.removeAt(0);
    names.removeAt(7); // beyond the list: nothing happens
    EXPECT_EQ(names.size(), 3);
    EXPECT_EQ(names[0].path, QStringLiteral("beta.gif"));
}

} // namespace
