#pragma once
// The servers and products charts are made from, one row per source: adding a product (another
// temperature analysis, chlorophyll) adds a row here, not a code path.

#include <QString>

#include <vector>

namespace sst {

struct SstSource {
    QString name;        // what --source takes and what the chart's time stamp carries: "mur"
    QString description; // what the user chooses from: "cloud-free analysis, 0.01°, daily"
    QString server;      // ERDDAP base address, everything before "/griddap/"
    QString dataset;     // ERDDAP dataset id
    QString variable;    // the temperature variable
    double resolution;   // degrees between data cells
    // The dataset's latitudes run north to south; ERDDAP wants a range in the dataset's order.
    bool latitudeDescending;
    // A dimension between time and latitude (an altitude of one value) that the request must
    // name; none of today's rows has one.
    bool hasAltitude;
    // What a cell without a value is when the file has no land mask: land (an analysis fills
    // every sea cell) or cloud (a satellite pass sees no water under clouds).
    enum class Gap { Land, Cloud };
    Gap gap;
};

// Every source, the default first.
const std::vector<SstSource>& sstSources();

// The source of that name (exact, lower case), or null.
const SstSource* findSource(const QString& name);

// The source charts are made from when none is chosen.
const SstSource& defaultSource();

} // namespace sst
