#pragma once
#include "platform/FontDialogs.h"
#include "platform/Registry.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <optional>
#include <utility>

// The vendor word of the settings key.
extern const QString VendorName; // "Quillmark"

// "\Software\Quillmark\" + the executable's base name (no folder, no extension), the key
// every setting lives under.
QString settingsKeyFor(const QString& executableBaseName);

class TRegistryFont;

// One named value of the settings store bound to an in-memory Value with a default: read once
// when constructed, written once when destroyed (and whenever Store is called). Reading creates
// nothing; a missing value or one of another type leaves the default.
class TRegistryVariable {
public:
    TRegistryVariable(platform::Registry& registry, const QString& settingsKey,
                      const QString& valueName);
    virtual ~TRegistryVariable();
    TRegistryVariable(const TRegistryVariable&) = delete;
    TRegistryVariable& operator=(const TRegistryVariable&) = delete;

    // Writes Value to the store now; a failure is ignored without a message.
    virtual void Store() = 0;

    const QString ValueName;

protected:
    // The stored value when it exists with the given type, else nothing.
    std::optional<platform::RegistryValue> readTyped(platform::ValueType type) const;
    void write(const platform::RegistryValue& value);
    // Subclass destructors store only when this is set (a font stores its members itself).
    bool storesOnDestruction() const { return m_storeOnDestruction; }

    platform::Registry& m_registry;
    const QString m_key;

private:
    friend class TRegistryFont;
    bool m_storeOnDestruction = true;
};

// A REG_DWORD: 1 for true, 0 for false; any non-zero number reads as true.
class TRegistryBoolean : public TRegistryVariable {
public:
    TRegistryBoolean(platform::Registry& registry, const QString& key, const QString& name,
                     bool defaultValue);
    ~TRegistryBoolean() override;
    void Store() override;
    bool Value;
};

// A REG_DWORD holding a signed 32-bit integer.
class TRegistryInteger : public TRegistryVariable {
public:
    TRegistryInteger(platform::Registry& registry, const QString& key, const QString& name,
                     int32_t defaultValue);
    ~TRegistryInteger() override;
    void Store() override;
    int32_t Value;
};

// A REG_BINARY of exactly 8 bytes: the IEEE-754 double in little-endian order. Any other
// length reads as absent; a stored NaN reads as the default, infinities are kept.
class TRegistryDouble : public TRegistryVariable {
public:
    TRegistryDouble(platform::Registry& registry, const QString& key, const QString& name,
                    double defaultValue);
    ~TRegistryDouble() override;
    void Store() override;
    double Value;
};

// A REG_SZ (an expandable string is read too, unexpanded); an empty value reads as "".
class TRegistryString : public TRegistryVariable {
public:
    TRegistryString(platform::Registry& registry, const QString& key, const QString& name,
                    const QString& defaultValue);
    ~TRegistryString() override;
    void Store() override;
    QString Value;
};

// A font as the settings keep it. style: 1 bold, 2 italic, 4 underline, 8 strike-out;
// colour: 0x00BBGGRR, or a system-colour code (0x80000000 + index).
struct StoredFont {
    QString name = QStringLiteral("MS Sans Serif");
    int size = 8; // points
    int style = 0;
    uint32_t colour = 0;
};

namespace fontStyle {
constexpr int Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8;
constexpr int Mask = 15; // any other bits are dropped
} // namespace fontStyle

// The QFont of a stored font (a non-positive size leaves Qt's default size; a negative one is
// pixels).
QFont toQFont(const StoredFont& font);
// The stored font of a QFont with a colour (pixel-sized fonts are converted at 96 dots per inch).
StoredFont fromQFont(const QFont& font, const QColor& colour);
// The colour of a stored font; system-colour codes give the classic Windows colours.
QColor colourOf(const StoredFont& font);
// 0x00BBGGRR of a colour.
uint32_t colourNumber(const QColor& colour);
// The font dialog's form of a stored font, and back (the colour travels along unchanged).
platform::FontChoice fontChoiceOf(const StoredFont& font);
StoredFont storedFontOf(const platform::FontChoice& choice);

// Four settings named base + "Colour", "Name", "Size", "Style". Stores them in the order
// colour, face, style, size.
class TRegistryFont : public TRegistryVariable {
public:
    // font gives the members' defaults; nullptr: colour 0, "MS Sans Serif", 8 points, style 0.
    TRegistryFont(platform::Registry& registry, const QString& key, const QString& baseName,
                  const StoredFont* font);
    ~TRegistryFont() override;
    void Store() override;
    // Sets face, size, style and colour of font from the members; nullptr does nothing.
    void ApplyTo(StoredFont* font) const;
    // Copies face, size, style (& 15) and colour into the members without writing;
    // nullptr does nothing.
    void TakeFrom(const StoredFont* font);

    TRegistryInteger Colour;
    TRegistryString Name;
    TRegistryInteger Size;
    TRegistryInteger Style;
};

// Section view of the settings key: a section is a sub-key, its entries string values.
class TRegistryIniFile {
public:
    // Creates the key when it is missing.
    TRegistryIniFile(platform::Registry& registry, const QString& settingsKey);
    // Every value of the section as "name=value", in stored order; empty when there is no
    // section. Values that are not strings give "name=" (an entry, never dropped).
    QStringList ReadSectionValues(const QString& section) const;
    // Deletes the section's sub-key with all its values. False when the store cannot be written.
    bool EraseSection(const QString& section);
    // Writes one string value, creating the section. False when the store cannot be written.
    bool WriteString(const QString& section, const QString& name, const QString& value);
    // EraseSection and a WriteString for each entry (name, value) in order, in one write of the
    // store. False when the store cannot be written.
    bool ReplaceSection(const QString& section, const QList<std::pair<QString, QString>>& entries);
    // Nothing to flush: every write has reached the store already.
    void UpdateFile();

private:
    QString sectionKey(const QString& section) const;

    platform::Registry& m_registry;
    const QString m_key;
};

// The waypoint list from the lines of the "Waypoints" section ("name=value", in stored order):
// entry k is the value named k, for k from 0 to the number of lines less one, so the store's
// order does not matter. A name that is missing gives an empty entry; of a repeated name the
// first value counts; a line without "=" names nothing but still counts towards the length.
QStringList waypointsInNameOrder(const QStringList& sectionValues);
// The entries of the "Waypoints" section for the list: waypoint k under the name k, from 0.
QList<std::pair<QString, QString>> waypointSectionEntries(const QStringList& waypoints);

// Every value the program persists under the settings key, with its default.
namespace settingNames {
inline const QString DataFilterIndex = QStringLiteral("DataFilterIndex");
inline const QString DaysToKeep = QStringLiteral("DaysToKeep");
inline const QString DataFolder = QStringLiteral("DataFolder");
// The window's size and place (binary, Qt's saveGeometry), its panels (binary, saveState), the
// chart it showed when it closed (string) and the recent charts' section ("0".."9", newest
// first).
inline const QString WindowGeometry = QStringLiteral("WindowGeometry");
inline const QString WindowState = QStringLiteral("WindowState");
inline const QString LastChart = QStringLiteral("LastChart");
inline const QString RecentChartsSection = QStringLiteral("RecentCharts");
inline const QString DefaultArea = QStringLiteral("DefaultArea");
inline const QString Font = QStringLiteral("Font"); // FontColour, FontName, FontSize, FontStyle
inline const QString FontOutlined = QStringLiteral("FontOutlined");
inline const QString DecimalDegrees = QStringLiteral("DecimalDegrees");
inline const QString MagneticReadout = QStringLiteral("MagneticReadout");
inline const QString TemperatureCelsius = QStringLiteral("TemperatureCelsius");
inline const QString TemperatureBreaks = QStringLiteral("TemperatureBreaks");
inline const QString BreakThreshold = QStringLiteral("BreakThreshold");
inline const QString Isotherms = QStringLiteral("Isotherms"); // as the user wrote them
inline const QString IsothermsShown = QStringLiteral("IsothermsShown");
inline const QString HomeLat = QStringLiteral("HomeLat");
inline const QString HomeLon = QStringLiteral("HomeLon");
inline const QString LastPurgeReminder = QStringLiteral("LastPurgeReminder");
inline const QString PrintCaption = QStringLiteral("PrintCaption");
// How the chart is shown: 0 fits it to the window, else the zoom in percent (25 to 800).
inline const QString ZoomPercent = QStringLiteral("ZoomPercent");
inline const QString HighlightTemperature = QStringLiteral("HighlightTemperature");
inline const QString WaypointsSection = QStringLiteral("Waypoints");
} // namespace settingNames

namespace settingDefaults {
// Quirk "first-open-shows-all": 0 until the user has chosen a filter in Open, which then shows
// every chart ("All GIF images") rather than one region's, so no new user meets an empty folder.
constexpr int32_t DataFilterIndex = 0;
constexpr int32_t DaysToKeep = 0;
constexpr int32_t DefaultArea = 1;
constexpr bool FontOutlined = false;
constexpr bool DecimalDegrees = false;
constexpr bool MagneticReadout = true;
constexpr bool TemperatureCelsius = false; // temperatures read in °F
constexpr bool TemperatureBreaks = false; // the break lines start hidden
constexpr double BreakThreshold = 0.7;    // °F per NM
constexpr double HomeLat = 0.0;
constexpr double HomeLon = 0.0;
constexpr int32_t LastPurgeReminder = 0;
// A printed chart carries its caption unless the user unticked it.
constexpr bool PrintCaption = true;
constexpr int32_t ZoomPercent = 0;           // a new user sees the whole chart
constexpr bool HighlightTemperature = false; // the slider's water is not picked out

// The isotherms start hidden, every second degree once shown.
inline const QString Isotherms = QStringLiteral("every 2");
constexpr bool IsothermsShown = false;
// The font members' defaults are those of a default StoredFont.
} // namespace settingDefaults

// The DataFolder default: the executable's folder with native separators and a trailing
// separator.
QString defaultDataFolder(const QString& executableFolder);

// One row of the table of persisted values (the font's four members appear as their own rows).
struct SettingInfo {
    enum class Kind { Boolean, Integer, Double, String };
    QString name;
    Kind kind;
    QVariant defaultValue; // DataFolder: invalid, as it depends on the executable's folder
};
const QList<SettingInfo>& settingTable();
