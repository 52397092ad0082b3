// thalwise-cli's commands called directly: output lines, error lines and exit status.

#include "cli/Commands.h"

#include "gif/GIFImage.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

const QString DataDir = QStringLiteral(THALWISE_TEST_DATA_DIR "/gif/");

struct CliRun {
    int status;
    QString out;
    QString err;
};

CliRun run(const QStringList& args) {
    CliRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = cli::run(args, out, err);
    out.flush();
    err.flush();
    return r;
}

TEST(Cli, InfoAndUsageTable) {
    const struct {
        const char* name;
        QStringList args;
        int status;
        QString out;
        QString err; // a substring of stderr ("" = stderr empty)
    } cases[] = {
        {"chart",
         {"info", DataDir + "chart-comment.gif"},
         0,
         "file: " + DataDir +
             "chart-comment.gif\nwidth: 16\nheight: 8\nframes: 1\n"
             "comment: TIMESTAMP=200612080600\ncomment: TMIN=50.0\n"
             "comment: TMAX=80.0\ncomment: VARIATION=-15.5\n",
         ""},
        {"commentAfterImage",
         {"info", DataDir + "comment-after-image.gif"},
         0,
         "file: " + DataDir + "comment-after-image.gif\nwidth: 16\nheight: 8\nframes: 2\n",
         ""},
        {"longCommentBreaksAfter255",
         {"info", DataDir + "long-comment.gif"},
         0,
         "file: " + DataDir +
             "long-comment.gif\nwidth: 2\nheight: 2\nframes: 1\n"
             "comment: " +
             QString("abcdefghijklmnopqrstuvwxyz").repeated(10).left(255) +
             "\n"
             "comment: " +
             QString("abcdefghijklmnopqrstuvwxyz").repeated(12).mid(255, 45) + "\n",
         ""},
        {"badFileAmongGoodOnes",
         {"info", DataDir + "interlaced-5rows.gif", DataDir + "unknown-extension-label.gif",
          DataDir + "prefix-lowercase-no-trailer.gif"},
         1,
         "file: " + DataDir +
             "interlaced-5rows.gif\nwidth: 4\nheight: 5\nframes: 1\n\n"
             "file: " +
             DataDir +
             "prefix-lowercase-no-trailer.gif\nwidth: 3\nheight: 2\n"
             "frames: 1\n",
         "thalwise-cli: " + DataDir + "unknown-extension-label.gif: Unknown extension type\n"},
        {"missingFile",
         {"info", DataDir + "no-such.gif"},
         1,
         "",
         "thalwise-cli: " + DataDir + "no-such.gif: Cannot open"},
        {"noCommand", {}, 2, "", "usage:"},
        {"unknownCommand", {"frobnicate"}, 2, "", "unknown command frobnicate"},
        {"infoWithoutFiles", {"info"}, 2, "", "usage:"},
        {"decodeWrongArgs", {"decode", "a.gif"}, 2, "", "usage:"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(r.out, c.out) << c.name;
        if (c.err.isEmpty()) {
            EXPECT_EQ(r.err, "") << c.name;
        } else {
            EXPECT_TRUE(r.err.contains(c.err)) << c.name << ": " << r.err.toStdString();
        }
    }
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Cli, DecodeWritesTheScreenSizedPictureAsPpm) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath("small.ppm");
    const CliRun r = run({"decode", DataDir + "small-frame.gif", out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();

    TGIFImage image;
    image.LoadFromFile(DataDir + "small-frame.gif");
    const QImage expected = image.bitmap().convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(expected.size(), QSize(6, 4));
    QByteArray want = "P6\n6 4\n255\n";
    for (int y = 0; y < 4; ++y)
        want.append(reinterpret_cast<const char*>(expected.constScanLine(y)), 18);
    EXPECT_EQ(readFile(out), want);
    // Background index 15 around the frame, frame pixel index 1 at (2, 1).
    const QRgb background = image.header().colorMap.color(15);
    EXPECT_EQ(expected.pixel(0, 0), background);
    EXPECT_EQ(expected.pixel(2, 1), image.header().colorMap.color(1));
}

TEST(Cli, DecodeOfABadFileWritesNothing) {
    QTemporaryDir dir;
    const QString out = dir.filePath("bad.ppm");
    const CliRun r = run({"decode", DataDir + "unknown-extension-label.gif", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "thalwise-cli: " + DataDir + "unknown-extension-label.gif: Unknown extension type\n");
    EXPECT_FALSE(QFile::exists(out));
}

} // namespace
