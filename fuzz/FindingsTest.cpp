// Every input the fuzzer once crashed on (kept as fuzz/crashes/fixed-*.gif) must now load or be
// refused with a GIFException, and everything the program asks of a loaded image must work.
// Most useful in the sanitizer build (ASAN=1 scripts/test.sh).

#include "gif/GIFImage.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

TEST(FuzzFindings, FixedCrashInputsLoadOrFailCleanly) {
    const QDir dir(QStringLiteral(THALWISE_SOURCE_DIR "/fuzz/crashes"));
    const QStringList names =
        dir.entryList({QStringLiteral("fixed-*.gif")}, QDir::Files, QDir::Name);
    if (names.isEmpty()) GTEST_SKIP() << "no fixed fuzz findings in " << dir.path().toStdString();
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        TGIFImage image;
        try {
            image.LoadFromBytes(file.readAll());
            for (int i = 0; i < image.imageCount(); ++i) {
                (void)gif::commentText(image.image(i));
                (void)image.image(i).bitmap();
                (void)image.image(i).mask();
            }
            (void)image.bitmap();
        } catch (const GIFException& e) {
            EXPECT_FALSE(e.message().isEmpty());
        }
    }
}

} // namespace
