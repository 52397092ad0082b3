// Reading the chart's comment: time stamp, temperature range and magnetic variation.
#include "geo/ChartMetadata.h"

#include <gtest/gtest.h>

namespace {

const QLocale C = QLocale::c();
const QLocale German(QLocale::German, QLocale::Germany);

QString crlf(std::initializer_list<const char*> subBlocks) {
    QStringList blocks;
    for (const char* b : subBlocks)
        blocks << QString::fromLatin1(b);
    return geo::commentTextFromSubBlocks(blocks);
}

TEST(GeoCommentLines, SplitAndStrip) {
    const struct {
        const char* text;
        QStringList lines;
    } cases[] = {
        {"  a\r\nb\r\n", {"a", "b"}},
        {"", {}},
        {" \r\n\t\r\n", {}},
        {"x", {"x"}},
        {"2003-06-14 12 GMT\r\n", {"2003-06-14 12 GMT"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\rb\r\n\r\nc", {"a", "b", "", "c"}},
        {"k = v \r\n", {"k = v"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(geo::commentLines(QString::fromLatin1(c.text)), c.lines) << c.text;
}

TEST(GeoChartComment, Forms) {
    const struct {
        QString text;
        const char* timestamp;
        bool hasRange;
        int tmin, tmax;
        float variation;
    } cases[] = {
        {crlf({"TIMESTAMP=2003-06-14_12", "TMIN=50", "TMAX=86", "VARIATION=-14.5"}),
         "2003-06-14_12", true, 50, 86, -14.5f},
        {crlf({"timestamp=t1", "tmin=50", "Tmax=86", "variation=3"}), "t1", true, 50, 86, 3.0f},
        {crlf({"VARIATION=0", "TMAX=86", "TMIN=50"}), "", true, 50, 86, 0.0f},  // any order
        {crlf({"TMIN = 50", "TMAX=86", "VARIATION=1"}), "", false, 0, 0, 0},    // key "TMIN "
        {crlf({"TMAX=86", " TMIN=50", "VARIATION=1"}), "", false, 0, 0, 0},     // key " TMIN"
        {crlf({" TMIN=50", "TMAX=86", "VARIATION=1"}), "", true, 50, 86, 1.0f}, // comment trimmed
        {crlf({"TMIN=5O", "TMAX=86", "VARIATION=1"}), "", false, 0, 0, 0},
        {crlf({"TMIN=50.5", "TMAX=86", "VARIATION=1"}), "", false, 0, 0, 0},
        {crlf({"TMIN=", "TMAX=86", "VARIATION=1"}), "", false, 0, 0, 0},
        {crlf({"TMIN=50", "TMAX=86 ", "VARIATION=1"}), "", false, 0, 0, 0},
        {crlf({"TMIN=50", "TMAX=86", "VARIATION=west"}), "", false, 0, 0, 0},
        {crlf({"TMIN=50", "TMAX=86", "VARIATION=1.2.3"}), "", false, 0, 0, 0},
        {crlf({"TMIN=50", "TMAX=86", "VARIATION=1e999"}), "", false, 0, 0, 0},
        {crlf({"TIMESTAMP=t2", "TMIN=50", "TMAX=86"}), "t2", false, 0, 0, 0}, // no variation
        {crlf({"TMIN=-5", "TMAX=+86", "VARIATION= -2.5 "}), "", true, -5, 86, -2.5f},
        {crlf({"TMIN=40", "TMIN=50", "TMAX=86", "VARIATION=.5"}), "", true, 40, 86, 0.5f},
        {crlf({"TIMESTAMP=a=b", "x"}), "a=b", false, 0, 0, 0},
        {crlf({"2003-06-14 12"}), "2003-06-14 12", false, 0, 0, 0}, // single line
        {crlf({"TMIN=50"}), "TMIN=50", false, 0, 0, 0}, // one line is always a time stamp
        {crlf({"", "  "}), "", false, 0, 0, 0},         // blank: no lines
        {crlf({}), "", false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const geo::ChartComment comment = geo::readChartComment(c.text, C);
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(comment.timestamp, QLatin1String(c.timestamp));
        EXPECT_EQ(comment.hasRange, c.hasRange);
        if (c.hasRange) {
            EXPECT_EQ(comment.scaleMin, c.tmin);
            EXPECT_EQ(comment.scaleMax, c.tmax);
            EXPECT_EQ(comment.variation, c.variation);
        }
    }
}

TEST(GeoChartComment, VariationSeparators) {
    const struct {
        const char* text;
        const QLocale& locale;
        bool ok;
        float value;
    } cases[] = {
        {"-14.5", C, true, -14.5f},
        {"-14.5", German, true, -14.5f}, // a period always
        {"-14,5", German, true, -14.5f},
        {"-14,5", C, false, 0},
        {"1,234.5", German, false, 0},
        {"2E1", C, true, 20.0f},
        {"", C, false, 0},
        {"-", C, false, 0},
        {".", C, false, 0},
        {"nan", C, false, 0},
        {"inf", C, false, 0},
        {"5", C, true, 5.0f},
    };
    for (const auto& c : cases) {
        float v = 99.0f;
        EXPECT_EQ(geo::readVariation(QString::fromLatin1(c.text), c.locale, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(GeoChartMetadata, CommentsInFileOrder) {
    const QString keyed = crlf({"TIMESTAMP=t1", "TMIN=50", "TMAX=86", "VARIATION=-14.5"});
    const QString keyed2 = crlf({"TIMESTAMP=t2", "TMIN=60", "TMAX=90", "VARIATION=3"});
    const QString single = crlf({"t3"});
    const QString malformed = crlf({"TIMESTAMP=t4", "TMIN=x", "TMAX=90", "VARIATION=3"});
    const struct {
        QStringList comments;
        const char* timestamp;
        bool hasRange;
        int tmin, tmax;
        bool hasVariation;
        float variation;
    } cases[] = {
        {{}, "", false, 0, 0, false, 0}, // no comment at all: variation reset
        {{keyed}, "t1", true, 50, 86, true, -14.5f},
        {{single}, "t3", false, 0, 0, false, 0},
        {{keyed, keyed2}, "t2", true, 60, 90, true, 3.0f},
        {{keyed, single}, "t3", true, 50, 86, false, 0},    // range stays, variation resets
        {{keyed, malformed}, "t4", true, 50, 86, false, 0}, // likewise
        {{single, keyed}, "t1", true, 50, 86, true, -14.5f},
        {{malformed, single}, "t3", false, 0, 0, false, 0},
    };
    for (const auto& c : cases) {
        const geo::ChartMetadata m = geo::readChartMetadata(c.comments, C);
        SCOPED_TRACE(c.comments.join(u'|').toStdString());
        EXPECT_EQ(m.timestamp, QLatin1String(c.timestamp));
        EXPECT_EQ(m.hasRange, c.hasRange);
        EXPECT_EQ(m.toolTip.isEmpty(), !c.hasRange);
        if (c.hasRange) {
            EXPECT_EQ(m.scaleMin, c.tmin);
            EXPECT_EQ(m.scaleMax, c.tmax);
        }
        EXPECT_EQ(m.hasVariation, c.hasVariation);
        EXPECT_EQ(m.magneticVariation, c.variation);
        // The tool-tip names a variation only while the headings apply one.
        EXPECT_EQ(m.toolTip.contains("Magnetic variation"), c.hasVariation);
    }
    EXPECT_EQ(geo::readChartMetadata({keyed}, C).toolTip,
              QString::fromUtf8("Temperature range in chart is: 50°F .. 86°F\r"
                                "Magnetic variation is 14.5° W"));
    EXPECT_EQ(geo::readChartMetadata({keyed, malformed}, C).toolTip,
              QString::fromUtf8("Temperature range in chart is: 50°F .. 86°F"));
}

TEST(GeoChartMetadata, ToolTips) {
    const struct {
        int tmin, tmax;
        float variation;
        const QLocale& locale;
        const char* text;
    } cases[] = {
        {50, 86, -14.5f, C,
         "Temperature range in chart is: 50°F .. 86°F\rMagnetic variation is 14.5° W"},
        {50, 86, 0.0f, C,
         "Temperature range in chart is: 50°F .. 86°F\rMagnetic variation is 0.0° E"},
        {50, 86, -0.0f, C,
         "Temperature range in chart is: 50°F .. 86°F\rMagnetic variation is 0.0° E"},
        {-5, 100, 3.5f, German,
         "Temperature range in chart is: -5°F .. 100°F\rMagnetic variation is 3,5° E"},
        {50, 86, -0.04f, C,
         "Temperature range in chart is: 50°F .. 86°F\rMagnetic variation is 0.0° W"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(geo::rangeToolTip(c.tmin, c.tmax, c.variation, c.locale),
                  QString::fromUtf8(c.text));
}

} // namespace
