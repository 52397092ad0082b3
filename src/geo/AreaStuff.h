#pragma once
#include <QString>

// A position in decimal degrees: latitude positive north, longitude positive east (so every
// charted position has a negative longitude).
struct GeoPosition {
    float Latitude = 0.0f;
    float Longitude = 0.0f;
};

// One row of the built-in table of chart areas. Longitudes are degrees west given as positive
// numbers; rows and columns are chart pixels from the top-left corner of the picture.
struct ChartArea {
    const char* ShortCode;
    const char* Code;
    const char* DisplayName;
    float Lat1;
    int Row1;
    float Lat2;
    int Row2;
    float LonWest1;
    int Col1;
    float LonWest2;
    int Col2;
    bool Mercator;
};

namespace geo {

// Index 0 is "no area", 1..30 are the calibrated areas, 31 is an uncalibrated extra.
inline constexpr int NoArea = 0;
inline constexpr int FirstCalibratedArea = 1;
inline constexpr int LastCalibratedArea = 30;
inline constexpr int ExtraArea = 31;
inline constexpr int AreaCount = 32;

// The table row of an area index; any index outside 0..31 gives the empty row 0.
const ChartArea& areaAt(int index);

// True for the areas that carry a calibration (1..30).
bool isCalibratedArea(int index);

// The area's code ("fl01"), empty for no area or an index outside the table.
QString areaCode(int index);

// The caption of the area's "Area to flip" item, empty for no area.
QString areaDisplayName(int index);

// The calibration the mapping routines work with, copied from the table when an area becomes
// current. Only areas 1..30 give a valid calibration; no area and the extra area 31 give none,
// so the mapping answers "no position" for them.
struct Calibration {
    bool Valid = false;
    int Area = NoArea;
    float Lat1 = 0.0f;
    int Row1 = 0;
    float Lat2 = 0.0f;
    int Row2 = 0;
    float LonWest1 = 0.0f;
    int Col1 = 0;
    float LonWest2 = 0.0f;
    int Col2 = 0;
    bool Mercator = false;
    float MercY1 = 0.0f; // Mercator ordinate of Lat1, degrees
    float MercY2 = 0.0f; // Mercator ordinate of Lat2, degrees

    // The calibration of an area index; invalid (and all zero) for anything but 1..30.
    static Calibration forArea(int index);
};

// The base name of a chart file: the file name without folder and without its last extension,
// in upper case ("AREA-NE01" for "/charts/area-ne01.gif").
QString chartBaseName(const QString& path);

// The area index (0..31) of a chart file: RecogniseArea of its base name. The window and
// thalwise-cli both recognise a chart's area this way.
int chartAreaOfFile(const QString& path);

} // namespace geo

// The area index 0..31 for a chart file name or path: the file name without folder and
// extension, lower-cased, is compared with the short codes, then the codes, then its last four
// characters with the codes; a ".jpg" file that matched nothing is area 31; otherwise 0.
int RecogniseArea(const QString& name);
