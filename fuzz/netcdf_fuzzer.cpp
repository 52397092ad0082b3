// Any bytes as a NetCDF download: decoded over an area's box as a server's answer is, and once
// without a box as a file from elsewhere. Whatever the bytes, decoding never crashes, a refusal
// always says why, and a grid it gives is whole: coordinates in range and in order, as many
// values as cells, every value a sea temperature or a gap.
#include "sst/NetcdfGrid.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void checkGrid(const std::optional<geo::SstGrid>& grid, const QString& error) {
    if (!grid) {
        if (error.isEmpty()) std::abort();
        return;
    }
    if (grid->rows() == 0 || grid->columns() == 0) std::abort();
    if (qint64(grid->rows()) * qint64(grid->columns()) > sst::MaxCellsRead) std::abort();
    if (grid->celsius.size() != grid->rows() * grid->columns()) std::abort();
    if (!grid->land.empty() && grid->land.size() != grid->celsius.size()) std::abort();
    for (double lat : grid->latitudes)
        if (!(std::abs(lat) <= 90.0)) std::abort();
    for (std::size_t i = 0; i < grid->columns(); ++i) {
        const double lon = grid->longitudes[i];
        if (!(lon >= -360.0 && lon <= 180.0)) std::abort();
        if (i > 0 && !(lon > grid->longitudes[i - 1])) std::abort();
    }
    for (float value : grid->celsius)
        if (!std::isnan(value) && !(value >= -5.0f && value <= 50.0f)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // The box of area ne01 with a cell around it, as a request asks for it.
    const sst::GeoBox ne01{41.2, 43.37, -71.07, -68.17};
    QString error;
    checkGrid(sst::decodeSstGrid(bytes, {QString(), ne01, QStringLiteral("mur")}, &error), error);
    error.clear();
    checkGrid(sst::decodeSstGrid(bytes, {QStringLiteral("sst"), std::nullopt, QString()}, &error),
              error);
    return 0;
}
