#include "app/RegistryVariables.h"

#include "platform/Paths.h"

#include <QDir>
#include <QHash>
#include <QtEndian>
#include <array>
#include <cmath>
#include <cstring>

using platform::RegistryValue;
using platform::ValueType;

const QString VendorName = QStringLiteral("Quillmark");

QString settingsKeyFor(const QString& executableBaseName) {
    return QStringLiteral("\\Software\\") + VendorName + QLatin1Char('\\') + executableBaseName;
}

// ---- TRegistryVariable

TRegistryVariable::TRegistryVariable(platform::Registry& registry, const QString& settingsKey,
                                     const QString& valueName)
    : ValueName(valueName), m_registry(registry), m_key(settingsKey) {}

TRegistryVariable::~TRegistryVariable() = default;

std::optional<RegistryValue> TRegistryVariable::readTyped(ValueType type) const {
    // A missing key reads as a missing value; nothing is created.
    std::optional<RegistryValue> value = m_registry.readValue(m_key, ValueName);
    if (!value) return std::nullopt;
    const bool isString = type == ValueType::String && (value->type == ValueType::String ||
                                                        value->type == ValueType::ExpandString);
    if (value->type != type && !isString) return std::nullopt; // never converted: treated as absent
    return value;
}

void TRegistryVariable::write(const RegistryValue& value) {
    m_registry.writeValue(m_key, ValueName, value); // failures are dropped silently
}

// ---- TRegistryBoolean

TRegistryBoolean::TRegistryBoolean(platform::Registry& registry, const QString& key,
                                   const QString& name, bool defaultValue)
    : TRegistryVariable(registry, key, name), Value(defaultValue) {
    if (const auto stored = readTyped(ValueType::Dword)) Value = stored->dword != 0;
}

TRegistryBoolean::~TRegistryBoolean() {
    if (storesOnDestruction()) Store();
}

void TRegistryBoolean::Store() {
    write(RegistryValue::fromDword(Value ? 1 : 0));
}

// ---- TRegistryInteger

TRegistryInteger::TRegistryInteger(platform::Registry& registry, const QString& key,
                                   const QString& name, int32_t defaultValue)
    : TRegistryVariable(registry, key, name), Value(defaultValue) {
    if (const auto stored = readTyped(ValueType::Dword))
        Value = static_cast<int32_t>(stored->dword);
}

TRegistryInteger::~TRegistryInteger() {
    if (storesOnDestruction()) Store();
}

void TRegistryInteger::Store() {
    write(RegistryValue::fromDword(static_cast<uint32_t>(Value)));
}

// ---- TRegistryDouble

TRegistryDouble::TRegistryDouble(platform::Registry& registry, const QString& key,
                                 const QString& name, double defaultValue)
    : TRegistryVariable(registry, key, name), Value(defaultValue) {
    const auto stored = readTyped(ValueType::Binary);
    if (!stored || stored->binary.size() != sizeof(double)) return;
    const uint64_t bits = qFromLittleEndian<uint64_t>(stored->binary.constData());
    double read = 0;
    std::memcpy(&read, &bits, sizeof read);
    if (!std::isnan(read)) // infinities are accepted as read
        Value = read;
}

TRegistryDouble::~TRegistryDouble() {
    if (storesOnDestruction()) Store();
}

void TRegistryDouble::Store() {
    uint64_t bits = 0;
    std::memcpy(&bits, &Value, sizeof bits);
    RegistryValue value;
    value.type = ValueType::Binary;
    value.binary.resize(sizeof bits);
    qToLittleEndian(bits, value.binary.data());
    write(value);
}

// ---- TRegistryString

TRegistryString::TRegistryString(platform::Registry& registry, const QString& key,
                                 const QString& name, const QString& defaultValue)
    : TRegistryVariable(registry, key, name), Value(defaultValue) {
    if (const auto stored = readTyped(ValueType::String)) Value = stored->text;
}

TRegistryString::~TRegistryString() {
    if (storesOnDestruction()) Store();
}

void TRegistryString::Store() {
    write(RegistryValue::fromText(Value));
}

// ---- fonts

namespace {

// The classic Windows colours of the system-colour indices (COLOR_SCROLLBAR = 0 ...), 0x00BBGGRR.
constexpr std::array<uint32_t, 31> ClassicSystemColours = {
    0xC8C8C8, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xEDB049, 0xC8D0D4};

constexpr uint32_t SystemColourFlag = 0x80000000u;

} // namespace

uint32_t colourNumber(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return static_cast<uint32_t>(rgb.red()) | (static_cast<uint32_t>(rgb.green()) << 8) |
           (static_cast<uint32_t>(rgb.blue()) << 16);
}

QColor colourOf(const StoredFont& font) {
    uint32_t number = font.colour;
    if (number & SystemColourFlag) {
        const uint32_t index = number & 0xFF;
        number = index < ClassicSystemColours.size() ? ClassicSystemColours[index] : 0;
    }
    return QColor(static_cast<int>(number & 0xFF), static_cast<int>((number >> 8) & 0xFF),
                  static_cast<int>((number >> 16) & 0xFF));
}

QFont toQFont(const StoredFont& font) {
    QFont qfont(font.name);
    if (font.size > 0)
        qfont.setPointSize(font.size);
    else if (font.size < 0)
        qfont.setPixelSize(-font.size);
    qfont.setBold(font.style & fontStyle::Bold);
    qfont.setItalic(font.style & fontStyle::Italic);
    qfont.setUnderline(font.style & fontStyle::Underline);
    qfont.setStrikeOut(font.style & fontStyle::StrikeOut);
    return qfont;
}

platform::FontChoice fontChoiceOf(const StoredFont& font) {
    platform::FontChoice choice;
    choice.family = font.name;
    choice.pointSize = font.size;
    choice.bold = font.style & fontStyle::Bold;
    choice.italic = font.style & fontStyle::Italic;
    choice.underline = font.style & fontStyle::Underline;
    choice.strikeOut = font.style & fontStyle::StrikeOut;
    choice.colour = colourOf(font);
    return choice;
}

StoredFont storedFontOf(const platform::FontChoice& choice) {
    StoredFont font;
    font.name = choice.family;
    font.size = choice.pointSize;
    font.style = (choice.bold ? fontStyle::Bold : 0) | (choice.italic ? fontStyle::Italic : 0) |
                 (choice.underline ? fontStyle::Underline : 0) |
                 (choice.strikeOut ? fontStyle::StrikeOut : 0);
    font.colour = colourNumber(choice.colour);
    return font;
}

StoredFont fromQFont(const QFont& font, const QColor& colour) {
    StoredFont stored;
    stored.name = font.family();
    if (font.pointSize() > 0)
        stored.size = font.pointSize();
    else if (font.pixelSize() > 0)
        stored.size =
            static_cast<int>(std::nearbyint(font.pixelSize() * 72.0 / 96.0)); // to nearest
    stored.style = (font.bold() ? fontStyle::Bold : 0) | (font.italic() ? fontStyle::Italic : 0) |
                   (font.underline() ? fontStyle::Underline : 0) |
                   (font.strikeOut() ? fontStyle::StrikeOut : 0);
    stored.colour = colourNumber(colour);
    return stored;
}

// ---- TRegistryFont

namespace {
const StoredFont DefaultFont;
}

TRegistryFont::TRegistryFont(platform::Registry& registry, const QString& key,
                             const QString& baseName, const StoredFont* font)
    : TRegistryVariable(registry, key, baseName),
      Colour(registry, key, baseName + QStringLiteral("Colour"),
             static_cast<int32_t>((font ? *font : DefaultFont).colour)),
      Name(registry, key, baseName + QStringLiteral("Name"), (font ? *font : DefaultFont).name),
      Size(registry, key, baseName + QStringLiteral("Size"), (font ? *font : DefaultFont).size),
      Style(registry, key, baseName + QStringLiteral("Style"), (font ? *font : DefaultFont).style) {
}

TRegistryFont::~TRegistryFont() {
    Store();
    // Stored once, in the font's order; the members' own destructors must not write again.
    for (TRegistryVariable* member :
         {static_cast<TRegistryVariable*>(&Colour), static_cast<TRegistryVariable*>(&Name),
          static_cast<TRegistryVariable*>(&Size), static_cast<TRegistryVariable*>(&Style)})
        member->m_storeOnDestruction = false;
}

void TRegistryFont::Store() {
    Colour.Store();
    Name.Store();
    Style.Store();
    Size.Store();
}

void TRegistryFont::ApplyTo(StoredFont* font) const {
    if (!font) return;
    font->name = Name.Value;
    font->size = Size.Value;
    font->style = Style.Value & fontStyle::Mask;
    font->colour = static_cast<uint32_t>(Colour.Value);
}

void TRegistryFont::TakeFrom(const StoredFont* font) {
    if (!font) return;
    Name.Value = font->name;
    Size.Value = font->size;
    Style.Value = font->style & fontStyle::Mask;
    Colour.Value = static_cast<int32_t>(font->colour);
}

// ---- TRegistryIniFile

TRegistryIniFile::TRegistryIniFile(platform::Registry& registry, const QString& settingsKey)
    : m_registry(registry), m_key(settingsKey) {
    if (!m_registry.keyExists(m_key)) m_registry.createKey(m_key);
}

QString TRegistryIniFile::sectionKey(const QString& section) const {
    return m_key + QLatin1Char('\\') + section;
}

QStringList TRegistryIniFile::ReadSectionValues(const QString& section) const {
    const QString key = sectionKey(section);
    QStringList lines;
    for (const QString& name : m_registry.valueNames(key)) {
        const auto value = m_registry.readValue(key, name);
        const bool isText =
            value && (value->type == ValueType::String || value->type == ValueType::ExpandString);
        lines.append(name + QLatin1Char('=') + (isText ? value->text : QString()));
    }
    return lines;
}

QStringList waypointsInNameOrder(const QStringList& sectionValues) {
    QHash<QString, QString> stored;
    for (const QString& line : sectionValues) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0 && !stored.contains(line.left(eq)))
            stored.insert(line.left(eq), line.mid(eq + 1));
    }
    QStringList waypoints;
    waypoints.reserve(sectionValues.size());
    for (qsizetype k = 0; k < sectionValues.size(); ++k)
        waypoints.append(stored.value(QString::number(k)));
    return waypoints;
}

bool TRegistryIniFile::EraseSection(const QString& section) {
    return m_registry.deleteKey(sectionKey(section));
}

bool TRegistryIniFile::WriteString(const QString& section, const QString& name,
                                   const QString& value) {
    return m_registry.writeValue(sectionKey(section), name, RegistryValue::fromText(value));
}

bool TRegistryIniFile::ReplaceSection(const QString& section,
                                      const QList<std::pair<QString, QString>>& entries) {
    QList<std::pair<QString, RegistryValue>> values;
    values.reserve(entries.size());
    for (const auto& [name, value] : entries)
        values.append({name, RegistryValue::fromText(value)});
    return m_registry.replaceValues(sectionKey(section), values);
}

QList<std::pair<QString, QString>> waypointSectionEntries(const QStringList& waypoints) {
    QList<std::pair<QString, QString>> entries;
    entries.reserve(waypoints.size());
    for (qsizetype k = 0; k < waypoints.size(); ++k)
        entries.append({QString::number(k), waypoints[k]});
    return entries;
}

void TRegistryIniFile::UpdateFile() {}

// ---- the table of persisted values

QString defaultDataFolder(const QString& executableFolder) {
    return platform::withTrailingSeparator(executableFolder);
}

const QList<SettingInfo>& settingTable() {
    using K = SettingInfo::Kind;
    static const QList<SettingInfo> table = {
        {settingNames::DataFilterIndex, K::Integer, settingDefaults::DataFilterIndex},
        {settingNames::DaysToKeep, K::Integer, settingDefaults::DaysToKeep},
        {settingNames::DataFolder, K::String, QVariant()},
        {settingNames::DefaultArea, K::Integer, settingDefaults::DefaultArea},
        {settingNames::Font + QStringLiteral("Colour"), K::Integer,
         static_cast<int32_t>(DefaultFont.colour)},
        {settingNames::Font + QStringLiteral("Name"), K::String, DefaultFont.name},
        {settingNames::Font + QStringLiteral("Size"), K::Integer, DefaultFont.size},
        {settingNames::Font + QStringLiteral("Style"), K::Integer, DefaultFont.style},
        {settingNames::FontOutlined, K::Boolean, settingDefaults::FontOutlined},
        {settingNames::DecimalDegrees, K::Boolean, settingDefaults::DecimalDegrees},
        {settingNames::MagneticReadout, K::Boolean, settingDefaults::MagneticReadout},
        {settingNames::TemperatureCelsius, K::Boolean, settingDefaults::TemperatureCelsius},
        {settingNames::TemperatureBreaks, K::Boolean, settingDefaults::TemperatureBreaks},
        {settingNames::BreakThreshold, K::Double, settingDefaults::BreakThreshold},
        {settingNames::HomeLat, K::Double, settingDefaults::HomeLat},
        {settingNames::HomeLon, K::Double, settingDefaults::HomeLon},
        {settingNames::LastPurgeReminder, K::Integer, settingDefaults::LastPurgeReminder},
        {settingNames::PrintCaption, K::Boolean, settingDefaults::PrintCaption},
        {settingNames::ZoomPercent, K::Integer, settingDefaults::ZoomPercent},
        {settingNames::HighlightTemperature, K::Boolean, settingDefaults::HighlightTemperature},
    };
    return table;
}
