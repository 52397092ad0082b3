// Not yet written.
#include "export/MbtilesWriter.h"

#include <QCoreApplication>

namespace exports {

bool writeMbtiles(const QString&, const ChartGeoreference&, const ExportLayers&, QString* error) {
    if (error) *error = QCoreApplication::translate("exports", "This format is not ready yet");
    return false;
}

} // namespace exports
