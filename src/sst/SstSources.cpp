#include "sst/SstSources.h"

#include <QCoreApplication>

namespace sst {

const std::vector<SstSource>& sstSources() {
    // Both datasets are [time][latitude][longitude] on ERDDAP: MUR's latitudes ascend, the ACSPO
    // super-collated product's descend (its grid spacing is -0.02°).
    static const std::vector<SstSource> sources = {
        {QStringLiteral("mur"),
         QCoreApplication::translate("sst", "cloud-free analysis, 0.01°, daily"),
         QStringLiteral("https://coastwatch.pfeg.noaa.gov/erddap"), QStringLiteral("jplMURSST41"),
         QStringLiteral("analysed_sst"), 0.01, false, false, SstSource::Gap::Land},
        {QStringLiteral("acspo"),
         QCoreApplication::translate("sst", "latest pass, 0.02°, daily, clouds as gaps"),
         QStringLiteral("https://coastwatch.noaa.gov/erddap"),
         QStringLiteral("noaacwLEOACSPOSSTL3SnrtCDaily"), QStringLiteral("sea_surface_temperature"),
         0.02, true, false, SstSource::Gap::Cloud},
    };
    return sources;
}

const SstSource* findSource(const QString& name) {
    for (const SstSource& source : sstSources())
        if (source.name == name) return &source;
    return nullptr;
}

const SstSource& defaultSource() {
    return sstSources().front();
}

} // namespace sst
