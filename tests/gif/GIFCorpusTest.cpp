// The public GIF conformance suite in the shared corpus: size, comment and frame 0's pixels
// wherever our rules and the suite's expectations agree; every difference is listed below with
// its reason. No case may crash or hang.

#include "gif/GIFImage.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTextStream>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

const QString CorpusDir = QStringLiteral(THALWISE_SHARED_DIR "/gif-corpus");

// How a case differs from the suite's expectation under our rules.
struct Difference {
    const char* error = nullptr; // we refuse the file with this message (the suite decodes it)
    bool skipComment = false;    // the suite expects another comment text
    bool skipPixels = false;     // frame 0 is not the expected picture under our rules
    bool opaqueOnly = false;     // compare only pixels the suite shows opaque
    bool frameOnly = false;      // compare only pixels inside frame 0's rectangle
    const char* why = "";
};

const std::map<std::string, Difference>& differences() {
    static const std::map<std::string, Difference> table = {
        // Frames of width or height 0 take the logical screen's size, and the bytes that follow
        // are read as a colour table or code size; the suite expects an empty transparent dot.
        {"image-zero-width",
         {.error = "Invalid GIF data: LZW minimum code size 59 is above the largest possible (11)",
          .why = "the trailer byte is read as the minimum code size"}},
        {"image-zero-height",
         {.error = gif::message::PrematureEnd,
          .why = "its packed byte announces a local colour table the file does not hold"}},
        {"image-zero-size",
         {.error = gif::message::PrematureEnd,
          .why = "its packed byte announces a local colour table the file does not hold"}},
        // We refuse sizes above 16384 on a side before allocating anything.
        {"max-width",
         {.error = "Image too large: 65535 x 1 pixels (at most 16384 pixels on a side)",
          .why = "limit of 16384 pixels on a side"}},
        {"max-height",
         {.error = "Image too large: 1 x 65535 pixels (at most 16384 pixels on a side)",
          .why = "limit of 16384 pixels on a side"}},
        {"max-size",
         {.error = "Image too large: 65535 x 65535 pixels (at most 16384 pixels on a side)",
          .why = "limit of 16384 pixels on a side"}},
        // A minimum code size above 11 cannot work with a 4096-entry table.
        {"overflow-codes",
         {.error = "Invalid GIF data: LZW minimum code size 12 is above the largest possible (11)",
          .why = "minimum code size above 11 is refused"}},
        {"overflow-codes-max",
         {.error = "Invalid GIF data: LZW minimum code size 255 is above the largest possible (11)",
          .why = "minimum code size above 11 is refused"}},
        // Extension labels outside the registry are an error.
        {"unknown-extension",
         {.error = gif::message::UnknownExtension,
          .why = "labels not in the registry fail the load"}},
        // Pixels for which no code arrives keep index 0 (or the transparent index); the suite
        // shows them transparent.
        {"missing-pixels",
         {.opaqueOnly = true, .why = "undecoded pixels take index 0, not transparency"}},
        // A file without any image has no bitmap; the suite shows a transparent dot.
        {"no-data", {.skipPixels = true, .why = "no image, so no bitmap"}},
        // Pixels outside frame 0 take the background index; the suite shows them transparent.
        {"image-inside-bg",
         {.frameOnly = true, .why = "uncovered screen pixels take the background"}},
        {"image-overlap-bg",
         {.frameOnly = true, .why = "uncovered screen pixels take the background"}},
        {"image-outside-bg",
         {.frameOnly = true, .why = "uncovered screen pixels take the background"}},
        {"dispose-restore-background",
         {.frameOnly = true, .why = "frame 0 covers one pixel of four"}},
        // Only frame 0 becomes the bitmap; the suite composites later images over it.
        {"images-combine", {.frameOnly = true, .why = "images after the first are ignored"}},
        {"high-color", {.frameOnly = true, .why = "frame 0 is one 16 x 16 tile of four"}},
        {"images-overlap", {.skipPixels = true, .why = "images after the first are ignored"}},
        {"dispose-restore-previous",
         {.skipPixels = true, .why = "the suite merges images 0 and 1 (no delay) into frame 0"}},
        // Each comment string ends at the first NUL byte of its sub-block.
        {"nul-comment", {.skipComment = true, .why = "comment strings end at a NUL"}},
        // Codes beyond the next free code end the frame quietly; the suite expects no frame.
        {"invalid-code",
         {.skipPixels = true, .why = "an invalid code ends the frame without error"}},
        // Indices beyond the colour table show black; the suite expects no frame.
        {"invalid-colors", {.skipPixels = true, .why = "indices beyond the table are black"}},
        // A frame without image data is kept as a frame; the suite expects none.
        {"plain-text", {.skipPixels = true, .why = "the text extension's frame has no image data"}},
        // A logical screen of width or height 0 is refused; the suite expects no frames at all.
        {"zero-width",
         {.error = "Invalid GIF data: the logical screen is 0 x 1 pixels",
          .why = "a screen without pixels is refused"}},
        {"zero-height",
         {.error = "Invalid GIF data: the logical screen is 1 x 0 pixels",
          .why = "a screen without pixels is refused"}},
        {"zero-size",
         {.error = "Invalid GIF data: the logical screen is 0 x 0 pixels",
          .why = "a screen without pixels is refused"}},
    };
    return table;
}

struct Conf {
    QMap<QString, QMap<QString, QString>> sections;
    QString value(const QString& section, const QString& key) const {
        return sections.value(section).value(key);
    }
};

Conf readConf(const QString& path) {
    Conf conf;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return conf;
    QString section;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        if (line.startsWith('[')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq > 0) conf.sections[section][line.left(eq).trimmed()] = line.mid(eq + 1).trimmed();
    }
    return conf;
}

// The suite writes comments as quoted text with \xNN escapes.
QString unquote(QString text) {
    if (text.size() >= 2 && text.startsWith('\'') && text.endsWith('\''))
        text = text.mid(1, text.size() - 2);
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            out += QChar(text.mid(i + 2, 2).toUShort(nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

class Corpus : public ::testing::TestWithParam<std::string> {};

TEST_P(Corpus, AgreesWhereOurRulesAgree) {
    if (!QDir(CorpusDir).exists())
        GTEST_SKIP() << "shared GIF corpus not found at " << CorpusDir.toStdString();
    const QString name = QString::fromStdString(GetParam());
    const Conf conf = readConf(CorpusDir + "/" + name + ".conf");
    const auto found = differences().find(GetParam());
    const Difference difference = found != differences().end() ? found->second : Difference{};
    SCOPED_TRACE(difference.why);

    TGIFImage image;
    try {
        image.LoadFromFile(CorpusDir + "/" + conf.value("config", "input"));
    } catch (const GIFException& e) {
        ASSERT_NE(difference.error, nullptr) << "unexpected error: " << e.message().toStdString();
        EXPECT_EQ(e.message(), QString::fromLatin1(difference.error));
        return;
    }
    ASSERT_EQ(difference.error, nullptr) << "expected our error " << difference.error;

    EXPECT_EQ(image.width(), conf.value("config", "width").toInt());
    EXPECT_EQ(image.height(), conf.value("config", "height").toInt());

    const QString comment = conf.value("config", "comment");
    if (!comment.isEmpty() && !difference.skipComment) {
        // The suite joins the sub-blocks; we keep one string per sub-block.
        ASSERT_GE(image.imageCount(), 1);
        QString joined;
        for (int i = 0; i < image.image(0).extensionCount(); ++i)
            if (auto* c = dynamic_cast<const TGIFCommentExtension*>(&image.image(0).extension(i)))
                joined += c->strings().join(QString());
        EXPECT_EQ(joined, unquote(comment));
    }

    const QStringList frames = conf.value("config", "frames").split(',', Qt::SkipEmptyParts);
    if (frames.isEmpty() || difference.skipPixels) return;
    const QString pixelsFile = conf.value(frames.front(), "pixels");
    if (pixelsFile.isEmpty()) return;
    QFile rgbaFile(CorpusDir + "/" + pixelsFile);
    ASSERT_TRUE(rgbaFile.open(QIODevice::ReadOnly));
    const QByteArray rgba = rgbaFile.readAll();
    ASSERT_EQ(rgba.size(), qsizetype(image.width()) * image.height() * 4);

    const QImage bitmap = image.bitmap();
    ASSERT_FALSE(bitmap.isNull());
    ASSERT_EQ(bitmap.size(), QSize(image.width(), image.height()));
    const TGIFSubImage& frame = image.image(0);
    const QImage mask = frame.width() == image.width() && frame.height() == image.height()
                            ? frame.mask()
                            : QImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const auto* p = reinterpret_cast<const uchar*>(rgba.constData()) +
                            (qsizetype(y) * image.width() + x) * 4;
            const bool inFrame = x >= frame.left() && y >= frame.top() &&
                                 x < frame.left() + frame.width() &&
                                 y < frame.top() + frame.height();
            if (difference.frameOnly && !inFrame) continue;
            const bool masked = !mask.isNull() && mask.pixelIndex(x, y) == 1;
            if (p[3] == 0) {
                // Transparent in the suite: transparent by our mask, unless listed above.
                if (!difference.opaqueOnly) {
                    EXPECT_TRUE(masked) << "pixel " << x << "," << y << " should be transparent";
                }
                continue;
            }
            EXPECT_FALSE(masked) << "pixel " << x << "," << y;
            EXPECT_EQ(bitmap.pixel(x, y), qRgb(p[0], p[1], p[2])) << "pixel " << x << "," << y;
        }
}

std::vector<std::string> corpusNames() {
    std::vector<std::string> names;
    QFile list(CorpusDir + "/TESTS");
    if (list.open(QIODevice::ReadOnly | QIODevice::Text))
        while (!list.atEnd()) {
            const QByteArray line = list.readLine().trimmed();
            if (!line.isEmpty()) names.push_back(line.toStdString());
        }
    if (names.empty()) names.push_back("absent");
    return names;
}

std::string testName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Gif, Corpus, ::testing::ValuesIn(corpusNames()), testName);

class CorpusPresence : public ::testing::Test {};

TEST_F(CorpusPresence, EveryListedCaseHasItsFiles) {
    if (!QDir(CorpusDir).exists())
        GTEST_SKIP() << "shared GIF corpus not found at " << CorpusDir.toStdString();
    for (const std::string& name : corpusNames())
        EXPECT_TRUE(QFile::exists(CorpusDir + "/" + QString::fromStdString(name) + ".conf"))
            << name;
    // Every difference names a case of the suite.
    for (const auto& [name, difference] : differences())
        EXPECT_TRUE(QFile::exists(CorpusDir + "/" + QString::fromStdString(name) + ".gif")) << name;
}

} // namespace
