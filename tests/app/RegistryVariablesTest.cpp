#include "app/RegistryVariables.h"
#include "platform/FileRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

using platform::FileRegistry;
using platform::RegistryValue;
using platform::ValueType;

namespace {

const QString Key = settingsKeyFor(QStringLiteral("Thalwise"));

RegistryValue dword(std::uint32_t v) {
    return RegistryValue::fromDword(v);
}
RegistryValue binary(const QByteArray& b) {
    return RegistryValue::fromBinary(b);
}
RegistryValue text(const QString& t, ValueType type = ValueType::String) {
    return RegistryValue::fromText(t, type);
}
QByteArray doubleBytes(double d) {
    QByteArray b(8, '\0');
    std::memcpy(b.data(), &d, 8); // the test machine is little-endian, as the store is
    return b;
}

class RegistryVariablesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString storePath() const { return m_dir.filePath(QStringLiteral("Quillmark/Thalwise.reg")); }
    QTemporaryDir m_dir;
    FileRegistry m_registry{storePath()};
};

} // namespace

TEST(SettingsKey, IsTheVendorAndTheExecutableName) {
    EXPECT_EQ(VendorName, QStringLiteral("Quillmark"));
    EXPECT_EQ(settingsKeyFor(QStringLiteral("Thalwise")),
              QStringLiteral("\\Software\\Quillmark\\Thalwise"));
}

TEST(RegistryVariables, WithNoKeyEverySettingTakesItsDefaultAndNothingIsCreated) {
    const QString exeFolder = QStringLiteral("/opt/thalwise/");
    for (const SettingInfo& s : settingTable()) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString folder = dir.filePath(QStringLiteral("Quillmark"));
        FileRegistry registry(folder + QStringLiteral("/Thalwise.reg"));
        std::unique_ptr<TRegistryVariable> setting;
        QVariant value;
        switch (s.kind) {
        case SettingInfo::Kind::Boolean: {
            auto v =
                std::make_unique<TRegistryBoolean>(registry, Key, s.name, s.defaultValue.toBool());
            value = v->Value;
            setting = std::move(v);
            break;
        }
        case SettingInfo::Kind::Integer: {
            auto v =
                std::make_unique<TRegistryInteger>(registry, Key, s.name, s.defaultValue.toInt());
            value = v->Value;
            setting = std::move(v);
            break;
        }
        case SettingInfo::Kind::Double: {
            auto v =
                std::make_unique<TRegistryDouble>(registry, Key, s.name, s.defaultValue.toDouble());
            value = v->Value;
            setting = std::move(v);
            break;
        }
        case SettingInfo::Kind::String: {
            auto v = std::make_unique<TRegistryString>(
                registry, Key, s.name,
                s.defaultValue.isValid() ? s.defaultValue.toString() : exeFolder);
            value = v->Value;
            setting = std::move(v);
            break;
        }
        }
        EXPECT_EQ(value, s.defaultValue.isValid() ? s.defaultValue : QVariant(exeFolder))
            << s.name.toStdString();
        EXPECT_FALSE(QFileInfo::exists(folder)) << s.name.toStdString();
        setting.reset(); // writes the default with its type
        EXPECT_EQ(registry.valueNames(Key), QStringList{s.name});
    }

    QTemporaryDir dir;
    FileRegistry registry(dir.filePath(QStringLiteral("Quillmark/Thalwise.reg")));
    {
        TRegistryFont font(registry, Key, settingNames::Font, nullptr);
        StoredFont stored;
        stored.name = QStringLiteral("x");
        stored.size = 20;
        font.ApplyTo(&stored);
        EXPECT_EQ(stored.name, QStringLiteral("MS Sans Serif"));
        EXPECT_EQ(stored.size, 8);
        EXPECT_EQ(stored.style, 0);
        EXPECT_EQ(stored.colour, 0u);
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("Quillmark"))));
    }

    // The table holds every value of the store, the font by its members.
    QStringList names;
    for (const SettingInfo& s : settingTable())
        names.append(s.name);
    EXPECT_EQ(names, QStringList({"DataFilterIndex", "DaysToKeep", "DataFolder", "DefaultArea",
                                  "FontColour", "FontName", "FontSize", "FontStyle", "FontOutlined",
                                  "DecimalDegrees", "MagneticReadout", "TemperatureCelsius",
                                  "TemperatureBreaks", "BreakThreshold", "HomeLat", "HomeLon",
                                  "LastPurgeReminder", "PrintCaption", "ZoomPercent",
                                  "HighlightTemperature"}));
}

TEST_F(RegistryVariablesTest, ConstructingReadsNothingIntoExistenceAtAll) {
    {
        TRegistryInteger days(m_registry, Key, settingNames::DaysToKeep, 0);
        TRegistryString folder(m_registry, Key, settingNames::DataFolder, QStringLiteral("/x/"));
        TRegistryDouble lat(m_registry, Key, settingNames::HomeLat, 0);
        EXPECT_FALSE(QFileInfo::exists(QFileInfo(storePath()).path()));
    }
    // Destroying wrote each one back.
    EXPECT_EQ(m_registry.valueNames(Key), QStringList({"HomeLat", "DataFolder", "DaysToKeep"}));
}

TEST_F(RegistryVariablesTest, DoublesReadOnlyFromEightByteBinaries) {
    const double inf = std::numeric_limits<double>::infinity();
    const QByteArray quietNaN("\x00\x00\x00\x00\x00\x00\xf8\x7f", 8);
    const QByteArray signallingNaN("\x01\x00\x00\x00\x00\x00\xf0\x7f", 8);
    const QByteArray negativeNaN("\x00\x00\x00\x00\x00\x00\xf8\xff", 8);
    const struct {
        const char* what;
        std::optional<RegistryValue> stored;
        double expected;
    } cases[] = {
        {"missing", std::nullopt, -7.5},
        {"a DWORD", dword(42), -7.5},
        {"four bytes", binary(QByteArray("\x00\x00\x80\x3f", 4)), -7.5},
        {"nine bytes", binary(doubleBytes(1.0) + '\0'), -7.5},
        {"seven bytes", binary(doubleBytes(1.0).left(7)), -7.5},
        {"a string", text(QStringLiteral("42.5")), -7.5},
        {"quiet NaN", binary(quietNaN), -7.5},
        {"signalling NaN", binary(signallingNaN), -7.5},
        {"negative NaN", binary(negativeNaN), -7.5},
        {"+infinity", binary(doubleBytes(inf)), inf},
        {"-infinity", binary(doubleBytes(-inf)), -inf},
        {"a latitude", binary(doubleBytes(41.25)), 41.25},
        {"negative zero", binary(doubleBytes(-0.0)), -0.0},
        {"smallest subnormal", binary(doubleBytes(4.9406564584124654e-324)),
         4.9406564584124654e-324},
    };
    for (const auto& c : cases) {
        m_registry.deleteKey(Key);
        if (c.stored)
            ASSERT_TRUE(m_registry.writeValue(Key, settingNames::HomeLat, *c.stored));
        else
            ASSERT_TRUE(m_registry.createKey(Key));
        TRegistryDouble lat(m_registry, Key, settingNames::HomeLat, -7.5);
        EXPECT_EQ(lat.Value, c.expected) << c.what;
        EXPECT_EQ(std::signbit(lat.Value), std::signbit(c.expected)) << c.what;
    }
    // The written form is the 8 little-endian bytes, whatever was there before.
    {
        TRegistryDouble lat(m_registry, Key, settingNames::HomeLat, 0);
        lat.Value = 41.25;
    }
    const auto stored = m_registry.readValue(Key, settingNames::HomeLat);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, ValueType::Binary);
    EXPECT_EQ(stored->binary, QByteArray("\x00\x00\x00\x00\x00\xa0\x44\x40", 8));
}

TEST_F(RegistryVariablesTest, IntegersBooleansAndStringsAcceptOnlyTheirOwnType) {
    const struct {
        const char* what;
        RegistryValue stored;
        int32_t integer; // as TRegistryInteger, default 2
        bool boolean;    // as TRegistryBoolean, default true
        QString string;  // as TRegistryString, default "/exe/"
    } cases[] = {
        {"DWORD 0", dword(0), 0, false, "/exe/"},
        {"DWORD 1", dword(1), 1, true, "/exe/"},
        {"DWORD 2", dword(2), 2, true, "/exe/"},
        {"DWORD -1", dword(0xFFFFFFFFu), -1, true, "/exe/"},
        {"DWORD min", dword(0x80000000u), std::numeric_limits<int32_t>::min(), true, "/exe/"},
        {"binary 4 bytes", binary(QByteArray("\x01\x00\x00\x00", 4)), 2, true, "/exe/"},
        {"string", text(QStringLiteral("5")), 2, true, "5"},
        {"empty string", text(QString()), 2, true, ""},
        {"expandable", text(QStringLiteral("%HOME%\\x"), ValueType::ExpandString), 2, true,
         "%HOME%\\x"},
    };
    for (const auto& c : cases) {
        m_registry.deleteKey(Key);
        ASSERT_TRUE(m_registry.writeValue(Key, QStringLiteral("V"), c.stored));
        {
            TRegistryInteger i(m_registry, Key, QStringLiteral("V"), 2);
            EXPECT_EQ(i.Value, c.integer) << c.what;
            TRegistryBoolean b(m_registry, Key, QStringLiteral("V"), true);
            EXPECT_EQ(b.Value, c.boolean) << c.what;
            TRegistryString s(m_registry, Key, QStringLiteral("V"), QStringLiteral("/exe/"));
            EXPECT_EQ(s.Value, c.string) << c.what;
            // Destroyed in reverse order: the string is written first, the integer last.
        }
        // The correct type replaces a wrong one at the next write.
        EXPECT_EQ(m_registry.readValue(Key, QStringLiteral("V"))->type, ValueType::Dword);
    }
}

TEST_F(RegistryVariablesTest, DataFolderStoredAsDwordIsIgnored) {
    ASSERT_TRUE(m_registry.writeValue(Key, settingNames::DataFolder, dword(1)));
    const QString exeFolder = defaultDataFolder(QStringLiteral("/opt/thalwise"));
    EXPECT_EQ(exeFolder, QDir::toNativeSeparators(QStringLiteral("/opt/thalwise/")));
    TRegistryString folder(m_registry, Key, settingNames::DataFolder, exeFolder);
    EXPECT_EQ(folder.Value, exeFolder);
}

TEST_F(RegistryVariablesTest, AnotherExecutableNameStartsWithDefaults) {
    {
        TRegistryInteger days(m_registry, Key, settingNames::DaysToKeep, 0);
        days.Value = 30;
    }
    const QString otherKey = settingsKeyFor(QStringLiteral("Thalwise2"));
    TRegistryInteger sameFile(m_registry, otherKey, settingNames::DaysToKeep, 0);
    EXPECT_EQ(sameFile.Value, 0);
    FileRegistry otherFile(m_dir.filePath(QStringLiteral("Quillmark/Thalwise2.reg")));
    TRegistryInteger other(otherFile, otherKey, settingNames::DaysToKeep, 0);
    EXPECT_EQ(other.Value, 0);
    TRegistryInteger again(m_registry, Key, settingNames::DaysToKeep, 0);
    EXPECT_EQ(again.Value, 30);
}

TEST_F(RegistryVariablesTest, ValuesAreWrittenOnlyAtStoreOrDestruction) {
    auto magnetic =
        std::make_unique<TRegistryBoolean>(m_registry, Key, settingNames::MagneticReadout, true);
    magnetic->Value = false;
    EXPECT_FALSE(m_registry.readValue(Key, settingNames::MagneticReadout).has_value());
    magnetic->Store();
    EXPECT_EQ(m_registry.readValue(Key, settingNames::MagneticReadout)->dword, 0u);
    magnetic->Value = true;
    EXPECT_EQ(m_registry.readValue(Key, settingNames::MagneticReadout)->dword, 0u);
    magnetic.reset();
    EXPECT_EQ(m_registry.readValue(Key, settingNames::MagneticReadout)->dword, 1u);
}

TEST_F(RegistryVariablesTest, TwoProgramsOnOneStoreLastToExitWinsPerValue) {
    FileRegistry otherProgram(storePath());
    auto firstDays =
        std::make_unique<TRegistryInteger>(m_registry, Key, settingNames::DaysToKeep, 0);
    auto firstArea =
        std::make_unique<TRegistryInteger>(m_registry, Key, settingNames::DefaultArea, 1);
    auto secondDays =
        std::make_unique<TRegistryInteger>(otherProgram, Key, settingNames::DaysToKeep, 0);
    firstDays->Value = 7;
    firstArea->Value = 12;
    secondDays->Value = 90;
    firstDays.reset();
    firstArea.reset();
    secondDays.reset(); // exits last
    TRegistryInteger days(m_registry, Key, settingNames::DaysToKeep, 0);
    TRegistryInteger area(m_registry, Key, settingNames::DefaultArea, 1);
    EXPECT_EQ(days.Value, 90);
    EXPECT_EQ(area.Value, 12);
}

TEST_F(RegistryVariablesTest, FontMembersFollowTheirOwnRules) {
    StoredFont boldItalic;
    boldItalic.name = QStringLiteral("Arial");
    boldItalic.size = 12;
    boldItalic.style = fontStyle::Bold | fontStyle::Italic;
    boldItalic.colour = 0x0000FF; // red
    {
        TRegistryFont font(m_registry, Key, settingNames::Font, nullptr);
        font.TakeFrom(&boldItalic);
        font.TakeFrom(nullptr);
        EXPECT_FALSE(m_registry.keyExists(Key)); // taking writes nothing
    }
    EXPECT_EQ(m_registry.valueNames(Key),
              QStringList({"FontColour", "FontName", "FontStyle", "FontSize"}));
    EXPECT_EQ(m_registry.readValue(Key, QStringLiteral("FontStyle"))->dword, 3u);
    EXPECT_EQ(m_registry.readValue(Key, QStringLiteral("FontColour"))->dword, 0xFFu);
    EXPECT_EQ(m_registry.readValue(Key, QStringLiteral("FontName"))->text, QStringLiteral("Arial"));
    EXPECT_EQ(m_registry.readValue(Key, QStringLiteral("FontSize"))->dword, 12u);

    // Style bits beyond the four are dropped on the way in and on the way out.
    const struct {
        int style;
        int kept;
    } styles[] = {{3, 3}, {15, 15}, {16, 0}, {0x7FFFFFF5, 5}, {-1, 15}};
    for (const auto& s : styles) {
        StoredFont stored = boldItalic;
        stored.style = s.style;
        {
            TRegistryFont font(m_registry, Key, settingNames::Font, nullptr);
            font.TakeFrom(&stored);
            EXPECT_EQ(font.Style.Value, s.kept) << s.style;
        }
        m_registry.writeValue(Key, QStringLiteral("FontStyle"),
                              dword(static_cast<std::uint32_t>(s.style)));
        TRegistryFont font(m_registry, Key, settingNames::Font, nullptr);
        StoredFont applied;
        font.ApplyTo(&applied);
        font.ApplyTo(nullptr);
        EXPECT_EQ(applied.style, s.kept) << s.style;
        EXPECT_EQ(applied.name, QStringLiteral("Arial"));
        EXPECT_EQ(applied.size, 12);
        EXPECT_EQ(applied.colour, 0xFFu);
    }

    // A given font supplies the defaults of the values not stored.
    m_registry.deleteKey(Key);
    m_registry.writeValue(Key, QStringLiteral("FontSize"), text(QStringLiteral("14")));
    TRegistryFont font(m_registry, Key, settingNames::Font, &boldItalic);
    EXPECT_EQ(font.Size.Value, 12); // a string is no size
    EXPECT_EQ(font.Name.Value, QStringLiteral("Arial"));
    EXPECT_EQ(font.Style.Value, 3);
    EXPECT_EQ(font.Colour.Value, 0xFF);
}

TEST(StoredFonts, ConvertToAndFromQtFonts) {
    StoredFont stored;
    stored.name = QStringLiteral("Arial");
    stored.size = 11;
    stored.style = fontStyle::Bold | fontStyle::Underline | fontStyle::StrikeOut;
    stored.colour = 0x00336699; // blue 0x33, green 0x66, red 0x99
    const QFont font = toQFont(stored);
    EXPECT_EQ(font.family(), QStringLiteral("Arial"));
    EXPECT_EQ(font.pointSize(), 11);
    EXPECT_TRUE(font.bold());
    EXPECT_FALSE(font.italic());
    EXPECT_TRUE(font.underline());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_EQ(colourOf(stored), QColor(0x99, 0x66, 0x33));
    const StoredFont back = fromQFont(font, colourOf(stored));
    EXPECT_EQ(back.name, stored.name);
    EXPECT_EQ(back.size, stored.size);
    EXPECT_EQ(back.style, stored.style);
    EXPECT_EQ(back.colour, stored.colour);

    QFont pixels(QStringLiteral("Arial"));
    pixels.setPixelSize(16);
    EXPECT_EQ(fromQFont(pixels, Qt::black).size, 12);

    StoredFont system;
    system.colour = 0x80000008; // window text
    EXPECT_EQ(colourOf(system), QColor(Qt::black));
    system.colour = 0x800000FF; // no such system colour
    EXPECT_EQ(colourOf(system), QColor(Qt::black));
}

TEST_F(RegistryVariablesTest, SectionViewKeepsWaypointsAsSubKeyValues) {
    TRegistryIniFile sections(m_registry, Key);
    EXPECT_TRUE(m_registry.keyExists(Key)); // opening creates the key, empty
    EXPECT_TRUE(m_registry.valueNames(Key).isEmpty());
    EXPECT_TRUE(sections.ReadSectionValues(settingNames::WaypointsSection).isEmpty());

    const QStringList waypoints = {"Lat=41.25,Lon=-70.50,Tf=65.3", "Lat=40.00,Lon=-71.00,Tf=0.0",
                                   ""};
    for (int k = 0; k < waypoints.size(); ++k)
        sections.WriteString(settingNames::WaypointsSection, QString::number(k), waypoints[k]);
    sections.UpdateFile();
    EXPECT_TRUE(m_registry.keyExists(Key + QStringLiteral("\\Waypoints")));
    EXPECT_EQ(
        sections.ReadSectionValues(settingNames::WaypointsSection),
        QStringList({"0=Lat=41.25,Lon=-70.50,Tf=65.3", "1=Lat=40.00,Lon=-71.00,Tf=0.0", "2="}));

    // Stored order, not name order; a value of another type stays an entry.
    m_registry.writeValue(Key + QStringLiteral("\\Waypoints"), QStringLiteral("10"), dword(5));
    sections.WriteString(settingNames::WaypointsSection, QStringLiteral("1"), QStringLiteral("x"));
    EXPECT_EQ(sections.ReadSectionValues(settingNames::WaypointsSection),
              QStringList({"0=Lat=41.25,Lon=-70.50,Tf=65.3", "1=x", "2=", "10="}));

    {
        TRegistryInteger days(m_registry, Key, settingNames::DaysToKeep, 0);
        days.Value = 14;
    }
    sections.EraseSection(settingNames::WaypointsSection);
    EXPECT_FALSE(m_registry.keyExists(Key + QStringLiteral("\\Waypoints")));
    EXPECT_TRUE(sections.ReadSectionValues(settingNames::WaypointsSection).isEmpty());
    EXPECT_EQ(m_registry.readValue(Key, settingNames::DaysToKeep)->dword, 14u);
}

TEST(WaypointSection, EntriesGoByTheirNumberedNames) {
    const struct {
        const char* name;
        QStringList lines;
        QStringList waypoints;
    } cases[] = {
        {"empty section", {}, {}},
        {"stored in name order", {"0=a", "1=b"}, {"a", "b"}},
        {"stored out of order", {"2=c", "0=a", "1=b"}, {"a", "b", "c"}},
        {"a gap leaves an empty entry and drops the name beyond the count",
         {"2=c", "0=a", "7=h"},
         {"a", "", "c"}},
        {"the first of a repeated name counts", {"0=a", "0=z", "1=b"}, {"a", "b", ""}},
        {"a value may hold \"=\"", {"0=Lat=41.00,Lon=-71.00"}, {"Lat=41.00,Lon=-71.00"}},
        {"a line without \"=\" names nothing but counts", {"junk", "0=a"}, {"a", ""}},
        {"names are compared as written", {"00=a", "1=b"}, {"", "b"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(waypointsInNameOrder(c.lines), c.waypoints) << c.name;
}

TEST_F(RegistryVariablesTest, EverySettingSurvivesARestart) {
    const double inf = std::numeric_limits<double>::infinity();
    {
        TRegistryInteger filter(m_registry, Key, settingNames::DataFilterIndex, 2);
        TRegistryString folder(m_registry, Key, settingNames::DataFolder, QStringLiteral("/x/"));
        TRegistryBoolean outlined(m_registry, Key, settingNames::FontOutlined, false);
        TRegistryDouble lon(m_registry, Key, settingNames::HomeLon, 0);
        TRegistryDouble lat(m_registry, Key, settingNames::HomeLat, 0);
        filter.Value = -3;
        folder.Value = QStringLiteral("C:\\Ch\u00E4rts \"new\"\\");
        outlined.Value = true;
        lon.Value = -70.123456789012345;
        lat.Value = inf;
    }
    TRegistryInteger filter(m_registry, Key, settingNames::DataFilterIndex, 2);
    TRegistryString folder(m_registry, Key, settingNames::DataFolder, QStringLiteral("/x/"));
    TRegistryBoolean outlined(m_registry, Key, settingNames::FontOutlined, false);
    TRegistryDouble lon(m_registry, Key, settingNames::HomeLon, 0);
    TRegistryDouble lat(m_registry, Key, settingNames::HomeLat, 0);
    EXPECT_EQ(filter.Value, -3);
    EXPECT_EQ(folder.Value, QStringLiteral("C:\\Ch\u00E4rts \"new\"\\"));
    EXPECT_TRUE(outlined.Value);
    EXPECT_EQ(lon.Value, -70.123456789012345);
    EXPECT_EQ(lat.Value, inf);
}
