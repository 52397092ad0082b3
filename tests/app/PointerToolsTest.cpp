// The annotation tools' rules without a window: which line an erase rectangle finds (sampling,
// rounding, excluded edges), which text a point hits, what a click and a release do with each
// tool, and the questions' texts.

#include "app/PointerTools.h"

#include <gtest/gtest.h>

namespace {

AnnotationLine line(QPoint a, QPoint b) {
    return AnnotationLine{{a, b}};
}

// A text measure that makes every text 10 pixels wide per character and 12 high.
QSize tenPerCharacter(const QString& text) {
    return QSize(10 * int(text.size()), 12);
}

TEST(EraseSearch, SquareAroundAClickExcludesItsRightAndBottomEdges) {
    // A horizontal line along y = 50 from x = 0 to x = 95.
    const QList<AnnotationLine> lines = {line({0, 50}, {95, 50})};
    struct Row {
        QPoint click;
        bool found;
    };
    const Row rows[] = {
        {{100, 50}, true},  // the square covers x 95 to 104
        {{101, 50}, false}, // x 96 to 105: the line ends at 95
        {{50, 55}, true},   // y 50 to 59
        {{50, 45}, false},  // y 40 to 49: the bottom edge (50) is excluded
        {{-4, 50}, true},   // x -9 to 0
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.click.x() << "," << row.click.y());
        const auto hit = app::findLineIn(lines, app::eraseSquare(row.click));
        EXPECT_EQ(hit.has_value(), row.found);
    }
}

TEST(EraseSearch, SegmentsAreSampledAtWholeXRoundedHalfToEven) {
    // From (0, 0) to (2, 1) the sample at x = 1 is y = 0.5, which rounds to 0; from (0, 1) to
    // (2, 2) it is 1.5, which rounds to 2. A one-pixel rectangle at (1, 1) tells them apart.
    const QRect onlyOneOne(QPoint(1, 1), QSize(1, 1));
    EXPECT_FALSE(app::findLineIn({line({0, 0}, {2, 1})}, onlyOneOne));
    EXPECT_FALSE(app::findLineIn({line({0, 1}, {2, 2})}, onlyOneOne));
    EXPECT_TRUE(app::findLineIn({line({0, 1}, {2, 2})}, QRect(QPoint(1, 2), QSize(1, 1))));
    // A steep segment is sampled only once per column: (0, 0) to (1, 10) at y 0 and 10.
    EXPECT_FALSE(app::findLineIn({line({0, 0}, {1, 10})}, QRect(QPoint(0, 3), QSize(2, 4))));
}

TEST(EraseSearch, SampleRowIsExactAtHalves) {
    const struct {
        QPoint a, b;
        int x, row;
    } rows[] = {
        {{0, 0}, {14, 29}, 7, 14},              // 14.5: a slope in floating point made it 15
        {{0, 0}, {14, -29}, 7, -14},            // -14.5 falls upward to the even -14
        {{0, 29}, {14, 0}, 7, 14},              // falling line, 14.5
        {{0, 1}, {14, 30}, 7, 16},              // 15.5: the even neighbour of the whole value
        {{0, 3}, {2, 0}, 1, 2},                 // 1.5
        {{0, 0}, {65535, 65535}, 65535, 65535}, // the product passes 2^31
        {{10, 0}, {10, -101}, 10, -50},         // vertical: the middle, halved toward zero
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.a.x() << "," << r.a.y() << " " << r.b.x() << ","
                                        << r.b.y() << " at " << r.x);
        EXPECT_EQ(app::eraseSampleRow(r.a, r.b, r.x), r.row);
    }
    // The search uses it: a one-pixel rectangle at (7, 14) finds the first line.
    EXPECT_TRUE(app::findLineIn({line({14, 29}, {0, 0})}, QRect(7, 14, 1, 1)));
}

TEST(EraseSearch, VerticalSegmentIsFoundOnlyAtItsMidpoint) {
    const QList<AnnotationLine> lines = {line({10, 0}, {10, 101})}; // midpoint y = 50
    EXPECT_TRUE(app::findLineIn(lines, app::eraseSquare({10, 50})));
    EXPECT_TRUE(app::findLineIn(lines, app::eraseSquare({10, 46})));  // y 41..50
    EXPECT_FALSE(app::findLineIn(lines, app::eraseSquare({10, 45}))); // y 40..49
    EXPECT_FALSE(app::findLineIn(lines, app::eraseSquare({10, 5})));  // on the line, not its middle
}

TEST(EraseSearch, FirstLineInListOrderWithTheSegmentsEndsOrderedByX) {
    const QList<AnnotationLine> lines = {
        AnnotationLine{{{300, 300}, {310, 300}}},
        // Drawn right to left, with a second segment through the same place.
        AnnotationLine{{{120, 40}, {100, 40}, {100, 80}}},
        line({100, 40}, {120, 40}),
    };
    const auto hit = app::findLineIn(lines, app::eraseSquare({110, 40}));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->index, 1);
    EXPECT_EQ(hit->a, QPoint(100, 40)); // the end with the smaller x comes first
    EXPECT_EQ(hit->b, QPoint(120, 40));
    EXPECT_EQ(app::eraseLineQuestion(*hit).text,
              "Are you sure you want to erase the line\rfrom  X:100 Y:40  to  X:120 Y:40");
    // A drag rectangle without height finds nothing: its bottom edge is excluded.
    EXPECT_FALSE(app::findLineIn(lines, app::spannedRectangle({0, 40}, {400, 40})));
    // The later segment of a line is found too, and only the part inside counts.
    const auto second = app::findLineIn(lines, app::eraseSquare({100, 60}));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->index, 1);
    EXPECT_EQ(second->a, QPoint(100, 40));
    EXPECT_EQ(second->b, QPoint(100, 80));
}

TEST(TextHits, BoxIsCentredOnTheAnchorWithRightAndBottomExcluded) {
    const QList<AnnotationText> texts = {
        {QStringLiteral("abc"), {100, 100}},   // 30 x 12: x 85..114, y 94..105
        {QStringLiteral("abcde"), {110, 100}}, // overlaps the first
    };
    struct Row {
        QPoint at;
        int index;
    };
    const Row rows[] = {
        {{85, 94}, 0},    {{114, 105}, 0}, {{84, 100}, -1}, {{100, 93}, -1},
        {{100, 106}, -1}, {{115, 100}, 1}, {{134, 100}, 1}, {{135, 100}, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.at.x() << "," << row.at.y());
        EXPECT_EQ(app::FindTextAt(texts, row.at, tenPerCharacter), row.index);
    }
    // Odd sizes halve toward zero on both sides: 7 wide at 20 covers 17..22.
    const QRect box = app::textBox({20, 20}, {7, 5});
    EXPECT_EQ(box.left(), 17);
    EXPECT_EQ(box.right(), 22);
    EXPECT_EQ(box.top(), 18);
    EXPECT_EQ(box.bottom(), 21);
}

TEST(ToolActions, ClickAndReleaseByTool) {
    using app::ClickAction;
    using app::PointerTool;
    using app::ReleaseAction;
    struct Row {
        PointerTool tool;
        ClickAction click;
        ReleaseAction afterDrag;
        ReleaseAction withoutDrag;
    };
    const Row rows[] = {
        {PointerTool::Measure, ClickAction::Nothing, ReleaseAction::Nothing,
         ReleaseAction::Nothing},
        {PointerTool::Text, ClickAction::EraseOrAddText, ReleaseAction::Nothing,
         ReleaseAction::Nothing},
        {PointerTool::Line, ClickAction::Nothing, ReleaseAction::AddLine, ReleaseAction::Nothing},
        {PointerTool::Polygon, ClickAction::Nothing, ReleaseAction::Nothing,
         ReleaseAction::Nothing},
        {PointerTool::Erase, ClickAction::EraseTextOrLine, ReleaseAction::EraseAtMidpoint,
         ReleaseAction::Nothing},
        {PointerTool::Waypoint, ClickAction::Nothing, ReleaseAction::Nothing,
         ReleaseAction::AddWaypoint},
        {PointerTool::Home, ClickAction::Nothing, ReleaseAction::Nothing, ReleaseAction::SetHome},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.tool));
        EXPECT_EQ(app::clickAction(row.tool, {7, 9}, {7, 9}), row.click);
        // The pointer moved away between press and release: no click for any tool.
        EXPECT_EQ(app::clickAction(row.tool, {7, 9}, {8, 9}), ClickAction::Ignored);
        EXPECT_EQ(app::releaseAction(row.tool, true), row.afterDrag);
        EXPECT_EQ(app::releaseAction(row.tool, false), row.withoutDrag);
        const bool hand = row.tool == PointerTool::Text || row.tool == PointerTool::Erase;
        EXPECT_EQ(app::toolCursor(row.tool), hand ? Qt::PointingHandCursor : Qt::CrossCursor);
    }
    EXPECT_EQ(app::dragMidpoint({3, 10}, {10, 3}), QPoint(6, 6));
}

TEST(ToolQuestions, TextsWordForWordAndUserTextKeptAsTyped) {
    const platform::MessageBoxRequest text =
        app::eraseTextQuestion(QStringLiteral("50% off %2"), QPoint(12, 34));
    EXPECT_EQ(text.caption, "Confirm erase text");
    EXPECT_EQ(text.text, "Are you sure you want to erase the text: \r\"50% off %2\"\r"
                         "at the point at X:12, Y:34 ?");
    const platform::MessageBoxRequest clear = app::clearAllQuestion();
    EXPECT_EQ(clear.caption, "Clear all annotations");
    EXPECT_EQ(clear.text, "Are you sure you want to clear all the annotations?");
    for (const auto& request : {text, clear, app::eraseLineQuestion({})}) {
        EXPECT_EQ(request.buttons, platform::Button::Yes | platform::Button::No);
        EXPECT_EQ(request.icon, platform::Icon::Question);
        EXPECT_EQ(request.defaultButton, platform::Button::No);
    }
}

} // namespace
