#include "dialogs/SizerGeometry.h"

#include <climits>
#include <gtest/gtest.h>
#include <ostream>

using dialogs::SizerRect;

namespace dialogs {
void PrintTo(const SizerRect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
} // namespace dialogs

namespace {

// A control at 10, 20 of 41 x 33: odd sizes, so the middles show the truncation.
constexpr SizerRect OddControl{10, 20, 51, 53};
// A control at 100, 100 of 100 x 80.
constexpr SizerRect Control{100, 100, 200, 180};

} // namespace

TEST(SizerGeometry, HandlesSitOnTheCornersAndTruncatedMiddlesWithTheirCursors) {
    const struct {
        int position;
        QPoint point;
        QPoint topLeft;
        Qt::CursorShape cursor;
    } cases[] = {
        {0, {10, 20}, {8, 18}, Qt::SizeFDiagCursor},  {1, {30, 20}, {28, 18}, Qt::SizeVerCursor},
        {2, {51, 20}, {49, 18}, Qt::SizeBDiagCursor}, {3, {51, 36}, {49, 34}, Qt::SizeHorCursor},
        {4, {51, 53}, {49, 51}, Qt::SizeFDiagCursor}, {5, {30, 53}, {28, 51}, Qt::SizeVerCursor},
        {6, {10, 53}, {8, 51}, Qt::SizeBDiagCursor},  {7, {10, 36}, {8, 34}, Qt::SizeHorCursor},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(dialogs::handlePoint(c.position, OddControl), c.point);
        EXPECT_EQ(dialogs::handleTopLeft(c.position, OddControl), c.topLeft);
        EXPECT_EQ(dialogs::handleCursor(c.position), c.cursor);
    }
}

TEST(SizerGeometry, ADraggedHandleMovesOnlyItsOwnEdgesAndCrossedEdgesTurnTheRectangleOver) {
    const struct {
        const char* what;
        int position;
        QPoint pointer;
        SizerRect expected;
    } cases[] = {
        {"top-left", 0, {90, 95}, {90, 95, 200, 180}},
        {"top middle ignores x", 1, {150, 120}, {100, 120, 200, 180}},
        {"top-right", 2, {250, 90}, {100, 90, 250, 180}},
        {"right middle ignores y", 3, {230, 10}, {100, 100, 230, 180}},
        {"bottom-right", 4, {210, 190}, {100, 100, 210, 190}},
        {"bottom middle ignores x", 5, {0, 150}, {100, 100, 200, 150}},
        {"bottom-left", 6, {120, 200}, {120, 100, 200, 200}},
        {"left middle ignores y", 7, {80, 500}, {80, 100, 200, 180}},
        // Bottom-right dragged up and left past the top-left: the old top-left corner is now
        // the bottom-right one.
        {"bottom-right past top-left", 4, {50, 60}, {50, 60, 100, 100}},
        {"top-left past bottom-right", 0, {250, 250}, {200, 180, 250, 250}},
        {"right past left", 3, {40, 0}, {40, 100, 100, 180}},
        {"top past bottom", 1, {0, 300}, {100, 180, 200, 300}},
        {"bottom-left past top only", 6, {150, 30}, {150, 30, 200, 100}},
        // An edge dragged onto the opposite one leaves an empty rectangle, not a swap.
        {"right onto left", 3, {100, 0}, {100, 100, 100, 180}},
        {"unknown position", 8, {0, 0}, {100, 100, 200, 180}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(dialogs::proposedBounds(Control, c.position, c.pointer), c.expected);
    }
}

TEST(SizerGeometry, ClippingPutsEdgesOutsideTheClientAreaOnItsBorder) {
    constexpr SizerRect Client{0, 0, 300, 200};
    const struct {
        const char* what;
        SizerRect bounds;
        SizerRect client;
        SizerRect expected;
    } cases[] = {
        {"inside", {10, 20, 290, 190}, Client, {10, 20, 290, 190}},
        {"touching every border", {0, 0, 300, 200}, Client, {0, 0, 300, 200}},
        {"past left and bottom", {-5, 20, 100, 250}, Client, {0, 20, 100, 200}},
        {"past every border", {-10, -10, 400, 300}, Client, {0, 0, 300, 200}},
        // A control moved out of the client area and then resized: empty on the border, never
        // a negative width.
        {"wholly right of the client", {350, 50, 400, 80}, Client, {300, 50, 300, 80}},
        {"wholly above the client", {20, -90, 60, -40}, Client, {20, 0, 60, 0}},
        {"client not at the origin", {0, 0, 50, 50}, {10, 20, 40, 45}, {10, 20, 40, 45}},
        {"no bounding window", {10, 20, 30, 40}, {}, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(dialogs::clipToClient(c.bounds, c.client), c.expected);
    }
}

TEST(SizerGeometry, AMoveStartsOnceThePointerHasTravelledTheThresholdOnEitherAxis) {
    const struct {
        QPoint pointer;
        int minimumMove;
        bool moved;
    } cases[] = {
        {{12, 12}, 3, false}, // the 2-pixel jiggle
        {{8, 8}, 3, false},   {{13, 10}, 3, true},  {{10, 7}, 3, true},  {{12, 13}, 3, true},
        {{10, 10}, 0, true},  {{10, 10}, -5, true}, {{11, 10}, 1, true}, {{10, 10}, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.pointer.x() << "," << c.pointer.y() << " min " << c.minimumMove);
        EXPECT_EQ(dialogs::passedMinimumMove({10, 10}, c.pointer, c.minimumMove), c.moved);
    }
    // Far-apart points with the largest threshold do not overflow into a move.
    EXPECT_TRUE(dialogs::passedMinimumMove({-2000000000, 0}, {2000000000, 0}, INT_MAX));
    EXPECT_FALSE(dialogs::passedMinimumMove({-1000000000, 0}, {1000000000, 0}, INT_MAX));
}

TEST(SizerGeometry, TheMoveBandIsTheShiftedControlEndingOnItsLastPixel) {
    EXPECT_EQ(dialogs::moveBand(Control, {5, -3}), (SizerRect{105, 97, 204, 176}));
    EXPECT_EQ(dialogs::moveBand(Control, {-120, 0}), (SizerRect{-20, 100, 79, 179}));
}
