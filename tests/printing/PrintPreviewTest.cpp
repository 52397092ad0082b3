// The print dialog's preview and selection, with the numbers worked out by hand.

#include "printing/PrintPreview.h"

#include <gtest/gtest.h>

namespace {

const QRect Preview(144, 8, 449, 299); // a 600 x 400 picture's preview at its design place

TEST(PrintPreview, ThePreviewKeepsThePicturesProportionsAndTheFirstSelectionSitsInside) {
    EXPECT_EQ(printing::previewSize({600, 400}), QSize(449, 299));
    EXPECT_EQ(printing::previewSize({400, 600}), QSize(299, 449));
    EXPECT_EQ(printing::previewSize({1024, 1024}), QSize(449, 449));
    EXPECT_EQ(printing::previewSize({}), QSize(449, 449)) << "no chart: the empty square";
    EXPECT_EQ(printing::printDialogClientWidth(Preview), 605);
    EXPECT_EQ(printing::printDialogClientWidth(QRect(144, 8, 299, 449)), 455);
    // 224 x 149, 56 right of and 37 below the preview's corner.
    EXPECT_EQ(printing::firstSelection(Preview), QRect(200, 45, 224, 149));
}

TEST(PrintPreview, TheSelectionStaysOnThePreviewAndMapsToWholePicturePixels) {
    // One pixel left of the preview is allowed and maps to column 0.
    const QRect atEdge = printing::keptOnPreview(QRect(140, 20, 100, 50), Preview);
    EXPECT_EQ(atEdge, QRect(143, 20, 97, 50));
    EXPECT_EQ(printing::selectionInPicture(atEdge, Preview, {600, 400}).left(), 0);
    // Past the right and bottom edges it is cut at them.
    EXPECT_EQ(printing::keptOnPreview(QRect(500, 200, 200, 200), Preview),
              QRect(500, 200, 93, 107));
    // From preview column 225 to the right edge: picture columns 300 up to 600.
    const QRect right(144 + 225, 8, 449 - 225, 299);
    EXPECT_EQ(printing::selectionInPicture(right, Preview, {600, 400}), QRect(300, 0, 300, 400));
    // Nothing left of it, nothing to print.
    EXPECT_TRUE(printing::selectionInPicture(QRect(144, 8, 0, 50), Preview, {600, 400}).isEmpty());
    EXPECT_TRUE(printing::keptOnPreview(QRect(700, 400, 20, 20), Preview).isEmpty());
}

} // namespace
