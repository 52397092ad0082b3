#include "geo/AreaStuff.h"

#include "geo/vekMapping.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace {

// Strings exactly as the chart service names its areas ("Mid-altantic" included); the display
// names are source texts, shown through QCoreApplication::translate("AreaStuff", ...).
constexpr ChartArea Areas[geo::AreaCount] = {
    {"", "", "", 0, 0, 0, 0, 0, 0, 0, 0, false},
    {"ne1", "ne01", QT_TRANSLATE_NOOP("AreaStuff", "North-east area 1"), 43, 174, 41.5f, 891, 71,
     21, 69, 734, true},
    {"ne2", "ne02", QT_TRANSLATE_NOOP("AreaStuff", "North-east area 2"), 43, 174, 41.5f, 891, 69.5f,
     119, 68, 654, true},
    {"ne3", "ne03", QT_TRANSLATE_NOOP("AreaStuff", "North-east area 3"), 41, 227, 39.5f, 920, 69.5f,
     119, 68, 654, true},
    {"ne4", "ne04", QT_TRANSLATE_NOOP("AreaStuff", "North-east area 4"), 41, 227, 39.5f, 920, 71.5f,
     140, 70, 673, true},
    {"ne5", "ne05", QT_TRANSLATE_NOOP("AreaStuff", "North-east area 5"), 41, 227, 39.5f, 920, 72.5f,
     130, 71, 663, true},
    {"ne6", "ne06", QT_TRANSLATE_NOOP("AreaStuff", "North-east area 6"), 40.5f, 182, 39.5f, 642,
     74.5f, 97, 72, 989, true},
    {"ne7", "ne07", QT_TRANSLATE_NOOP("AreaStuff", "North-east area 7"), 40, 97, 38.5f, 781, 72.5f,
     364, 71.5f, 720, true},
    {"ne8", "ne08", QT_TRANSLATE_NOOP("AreaStuff", "North-east area 8"), 39.5f, 147, 38.5f, 602, 75,
     55, 72.5f, 947, true},
    {"ne9", "ne09", QT_TRANSLATE_NOOP("AreaStuff", "North-east area 9"), 39, 28, 37.5f, 702, 75.5f,
     37, 73, 929, true},
    {"ma1", "ma01", QT_TRANSLATE_NOOP("AreaStuff", "Mid-altantic area 1"), 38, 8, 36.5f, 674, 76,
     10, 73.5f, 902, true},
    {"ma2", "ma02", QT_TRANSLATE_NOOP("AreaStuff", "Mid-altantic area 2"), 36.5f, 119, 35, 770, 76,
     104, 73.5f, 996, true},
    {"ma3", "ma03", QT_TRANSLATE_NOOP("AreaStuff", "Mid-altantic area 3"), 35.5f, 9, 34, 655, 76.5f,
     27, 74, 918, true},
    {"ma4", "ma04", QT_TRANSLATE_NOOP("AreaStuff", "Mid-altantic area 4"), 34, 343, 33.5f, 556, 78,
     38, 75.5f, 928, true},
    {"ma5", "ma05", QT_TRANSLATE_NOOP("AreaStuff", "Mid-altantic area 5"), 34, 51, 32.5f, 684, 79,
     162, 77, 877, true},
    {"ma6", "ma06", QT_TRANSLATE_NOOP("AreaStuff", "Mid-altantic area 6"), 33, 140, 31.5f, 766,
     80.5f, 174, 79, 707, true},
    {"ma7", "ma07", QT_TRANSLATE_NOOP("AreaStuff", "Mid-altantic area 7"), 32, 101, 30.5f, 721,
     81.5f, 38, 79, 928, true},
    {"fl1", "fl01", QT_TRANSLATE_NOOP("AreaStuff", "Florida area 1"), 31, 99, 29.5f, 714, 81.5f, 11,
     79.5f, 725, true},
    {"fl2", "fl02", QT_TRANSLATE_NOOP("AreaStuff", "Florida area 2"), 29.5f, 42, 27.5f, 846, 81, 77,
     79.5f, 612, true},
    {"fl3", "fl03", QT_TRANSLATE_NOOP("AreaStuff", "Florida area 3"), 27.5f, 176, 25.5f, 966, 80,
     178, 78.5f, 711, true},
    {"fl4", "fl04", QT_TRANSLATE_NOOP("AreaStuff", "Florida area 4"), 27.5f, 176, 26, 770, 78.5f,
     94, 76, 986, true},
    {"fl5", "fl05", QT_TRANSLATE_NOOP("AreaStuff", "Florida area 5"), 26.5f, 81, 25, 671, 78.5f, 16,
     76, 908, true},
    {"fl6", "fl06", QT_TRANSLATE_NOOP("AreaStuff", "Florida area 6"), 25, 167, 23.5f, 747, 78, 96,
     75.5f, 988, true},
    {"fl7", "fl07", QT_TRANSLATE_NOOP("AreaStuff", "Florida area 7"), 26, 62, 24.5f, 650, 81, 64,
     79.5f, 599, true},
    {"fl8", "fl08", QT_TRANSLATE_NOOP("AreaStuff", "Florida area 8"), 25, 161, 23.5f, 741, 83, 6,
     80.5f, 898, true},
    {"fl9", "fl09", QT_TRANSLATE_NOOP("AreaStuff", "Florida area 9"), 25, 395, 23.5f, 975, 84.5f,
     62, 82.5f, 774, true},
    {"fl10", "fl10", QT_TRANSLATE_NOOP("AreaStuff", "Florida area 10"), 27, 139, 25.5f, 730, 84,
     193, 82, 906, true},
    {"fl11", "fl11", QT_TRANSLATE_NOOP("AreaStuff", "Florida area 11"), 28.5f, 20, 27, 619, 84.5f,
     125, 82, 1016, true},
    {"fl12", "fl12", QT_TRANSLATE_NOOP("AreaStuff", "Florida area 12"), 30, 50, 28, 858, 84.5f, 126,
     83, 659, true},
    {"fl13", "fl13", QT_TRANSLATE_NOOP("AreaStuff", "Florida area 13"), 30, 157, 28.5f, 765, 86,
     120, 84.5f, 655, true},
    {"fl14", "fl14", QT_TRANSLATE_NOOP("AreaStuff", "Florida area 14"), 30, 213, 28, 1021, 87.5f,
     108, 86, 643, true},
    {"Rutgers", "rutgers", QT_TRANSLATE_NOOP("AreaStuff", "Rutgers"), 0, 0, 0, 0, 0, 0, 0, 0,
     false},
};

} // namespace

namespace geo {

const ChartArea& areaAt(int index) {
    return (index >= 0 && index < AreaCount) ? Areas[index] : Areas[NoArea];
}

bool isCalibratedArea(int index) {
    return index >= FirstCalibratedArea && index <= LastCalibratedArea;
}

QString areaCode(int index) {
    return QString::fromLatin1(areaAt(index).Code);
}

QString areaDisplayName(int index) {
    const char* name = areaAt(index).DisplayName;
    return *name ? QCoreApplication::translate("AreaStuff", name) : QString();
}

Calibration Calibration::forArea(int index) {
    Calibration c;
    if (!isCalibratedArea(index)) return c;
    const ChartArea& a = Areas[index];
    c.Valid = true;
    c.Area = index;
    c.Lat1 = a.Lat1;
    c.Row1 = a.Row1;
    c.Lat2 = a.Lat2;
    c.Row2 = a.Row2;
    c.LonWest1 = a.LonWest1;
    c.Col1 = a.Col1;
    c.LonWest2 = a.LonWest2;
    c.Col2 = a.Col2;
    c.Mercator = a.Mercator;
    if (c.Mercator) {
        c.MercY1 = MercatorY(c.Lat1);
        c.MercY2 = MercatorY(c.Lat2);
    }
    return c;
}

QString chartBaseName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot < 0 ? name : name.left(dot)).toUpper();
}

int chartAreaOfFile(const QString& path) {
    return RecogniseArea(chartBaseName(path));
}

} // namespace geo

int RecogniseArea(const QString& name) {
    // Both separators: chart paths may come from either kind of system.
    const qsizetype slash = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    const QString fileName = name.mid(slash + 1);
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString extension = dot >= 0 ? fileName.mid(dot) : QString();
    const QString n = (dot >= 0 ? fileName.left(dot) : fileName).toLower();

    using geo::FirstCalibratedArea;
    using geo::LastCalibratedArea;
    for (int i = FirstCalibratedArea; i <= LastCalibratedArea; ++i)
        if (n == QLatin1String(Areas[i].ShortCode)) return i;
    for (int i = FirstCalibratedArea; i <= LastCalibratedArea; ++i)
        if (n == QLatin1String(Areas[i].Code)) return i;
    const QString tail = n.size() > 4 ? n.right(4) : n;
    for (int i = FirstCalibratedArea; i <= LastCalibratedArea; ++i)
        if (tail == QLatin1String(Areas[i].Code)) return i;
    if (extension.toLower() == QLatin1String(".jpg")) return geo::ExtraArea;
    return geo::NoArea;
}
