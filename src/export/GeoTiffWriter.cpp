// Not yet written.
#include "export/GeoTiffWriter.h"

#include <QCoreApplication>

namespace exports {

bool writeGeoTiff(const QString&, const ChartGeoreference&, const ExportLayers&, GeoTiffContent,
                  QString* error) {
    if (error) *error = QCoreApplication::translate("exports", "This format is not ready yet");
    return false;
}

} // namespace exports
