// The comment texts of a frame, one per comment extension, as a chart's metadata reader takes
// them; files made with our encoder.
#include "gif/GIFEncoder.h"
#include "gif/GIFImage.h"

#include <gtest/gtest.h>

namespace {

gif::EncoderFrame twoByTwoFrame(std::vector<QByteArray> comments = {}) {
    gif::EncoderFrame frame;
    frame.width = 2;
    frame.height = 2;
    frame.indices = {0, 1, 1, 0};
    frame.comments = std::move(comments);
    return frame;
}

TEST(GifCommentTexts, OnePerExtensionInFileOrder) {
    const QByteArray longText = QByteArray("0123456789").repeated(30);
    const struct {
        const char* name;
        std::vector<QByteArray> fileComments;
        gif::CommentPlacement placement;
        std::vector<QByteArray> secondFrameComments; // no second frame when empty
        QStringList firstFrame;
        QStringList secondFrame;
    } cases[] = {
        {"none", {}, gif::CommentPlacement::BeforeFirstImage, {}, {}, {}},
        {"one",
         {"TIMESTAMP=1"},
         gif::CommentPlacement::BeforeFirstImage,
         {},
         {"TIMESTAMP=1\r\n"},
         {}},
        {"twoStaySeparate",
         {"TMIN=38", "TMAX=62"},
         gif::CommentPlacement::BeforeFirstImage,
         {},
         {"TMIN=38\r\n", "TMAX=62\r\n"},
         {}},
        // 300 bytes are two sub-blocks of 255 and 45, each followed by CR LF.
        {"longCommentIsOneText",
         {longText},
         gif::CommentPlacement::BeforeFirstImage,
         {},
         {QString::fromLatin1(longText.left(255) + "\r\n" + longText.mid(255) + "\r\n")},
         {}},
        {"emptyCommentGivesAnEmptyText",
         {""},
         gif::CommentPlacement::BeforeFirstImage,
         {},
         {""},
         {}},
        {"afterTheImageIsNotTheFirstFrames",
         {"late"},
         gif::CommentPlacement::AfterLastImage,
         {},
         {},
         {"late\r\n"}},
        {"secondImagesOwnComment",
         {"first"},
         gif::CommentPlacement::BeforeFirstImage,
         {"second"},
         {"first\r\n"},
         {"second\r\n"}},
    };
    for (const auto& c : cases) {
        gif::EncoderInput input;
        input.screenWidth = 2;
        input.screenHeight = 2;
        input.globalTable = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        input.frames.push_back(twoByTwoFrame());
        if (!c.secondFrameComments.empty())
            input.frames.push_back(twoByTwoFrame(c.secondFrameComments));
        input.comments = c.fileComments;
        input.commentPlacement = c.placement;
        QString error;
        const std::optional<QByteArray> bytes = gif::encodeGif(input, &error);
        ASSERT_TRUE(bytes) << c.name << ": " << error.toStdString();
        TGIFImage image;
        image.LoadFromBytes(*bytes);
        ASSERT_GE(image.imageCount(), 1) << c.name;
        EXPECT_EQ(gif::commentTexts(image.image(0)), c.firstFrame) << c.name;
        EXPECT_EQ(gif::firstFrameCommentTexts(image), c.firstFrame) << c.name;
        // The joined form is the same text.
        EXPECT_EQ(gif::commentTexts(image.image(0)).join(QString()),
                  gif::commentText(image.image(0)))
            << c.name;
        const QStringList second =
            image.imageCount() > 1 ? gif::commentTexts(image.image(1)) : QStringList();
        EXPECT_EQ(second, c.secondFrame) << c.name;
    }
}

TEST(GifCommentTexts, NoFramesNoTexts) {
    TGIFImage image;
    EXPECT_TRUE(gif::firstFrameCommentTexts(image).isEmpty());
}

} // namespace
