// File > Export for chart plotter / chart software through the window: the dialog answered in
// place, the file name through the file-dialog seam, failures through the message seam.
#include "WindowTestSupport.h"

#include "dialogs/ExportForm.h"
#include "geo/Gpx.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

// A window whose export dialog is answered by the test.
class ExportingForm : public TFormThalwise {
public:
    using TFormThalwise::TFormThalwise;
    bool showExportDialog(TFormExport& dialog) override {
        ++shown;
        if (answer) answer(dialog);
        return accept;
    }
    std::function<void(TFormExport&)> answer;
    bool accept = true;
    int shown = 0;
};

} // namespace

TEST(ExportWindow, IsothermsAndWaypointsGoToThePlotterAndTheArchiveIsRefused) {
    WindowRig rig;
    QTemporaryDir out;
    ExportingForm form(rig.services, rig.key, {});
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_FALSE(form.MenuFileExportChart->isEnabled()); // no chart yet
    form.OpenChart(copySample(rig.documentsDir.path(), "area-ne01.gif"));
    ASSERT_FALSE(form.BaseBitmap.isNull());
    EXPECT_TRUE(form.MenuFileExportChart->isEnabled());
    form.HomeLat->Value = 42.0;
    form.HomeLon->Value = -70.0;
    form.WaypointList = {QStringLiteral("Lat=41.50,Lon=-69.00,Tf=55.0")};
    form.WaypointsChanged();

    form.answer = [](TFormExport& dialog) {
        dialog.setFormat(exports::ExportFormat::Gpx);
        EXPECT_FALSE(dialog.CheckMarks->isEnabled()); // GPX has no picture to draw them in
        EXPECT_TRUE(dialog.ComboPlotter->isEnabled());
        dialog.ComboPlotter->setCurrentIndex(*exports::plotterProfileOf("software"));
        dialog.CheckBreaks->setChecked(false);
        dialog.CheckIsotherms->setChecked(true);
        dialog.EditIsotherms->setText(QStringLiteral("every 2"));
        dialog.CheckWaypoints->setChecked(true);
    };
    const QString gpx = out.filePath(QStringLiteral("trip.gpx"));
    rig.fileDialogs.queueFile(gpx);
    form.MenuFileExportChart->trigger();
    EXPECT_EQ(rig.messageBoxes.errors, QStringList());
    ASSERT_EQ(rig.fileDialogs.requests.size(), 1);
    EXPECT_EQ(rig.fileDialogs.requests[0].defaultSuffix, "gpx");
    EXPECT_TRUE(rig.fileDialogs.requests[0].filter.contains(QLatin1String("*.gpx")));

    QString error;
    const std::optional<geo::GpxWaypoints> read = geo::readGpxFile(gpx, &error);
    ASSERT_TRUE(read) << error.toStdString();
    EXPECT_EQ(read->waypoints.size(), 1u);
    EXPECT_TRUE(read->home);
    QFile file(gpx);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray document = file.readAll();
    // One track per temperature, however many pieces its line has: 38 to 62 every 2.
    EXPECT_GE(document.count("<trk>"), 8);
    EXPECT_LE(document.count("<trk>"), 13);
    EXPECT_EQ(document.count("<name>50F</name>"), 1);
    EXPECT_GT(document.count("<trkseg>"), document.count("<trk>"));
    EXPECT_TRUE(rig.messageBoxes.requests.isEmpty()); // chart software: nothing bent or cut

    // An older Garmin holds 15 tracks: the breaks beyond them are left out, and the user is told.
    form.answer = [](TFormExport& dialog) {
        dialog.setFormat(exports::ExportFormat::Gpx);
        dialog.ComboPlotter->setCurrentIndex(*exports::plotterProfileOf("garmin-older"));
        dialog.CheckBreaks->setChecked(true);
        dialog.CheckIsotherms->setChecked(false);
    };
    rig.fileDialogs.queueFile(out.filePath(QStringLiteral("breaks.gpx")));
    form.MenuFileExportChart->trigger();
    EXPECT_EQ(rig.messageBoxes.errors, QStringList());
    ASSERT_EQ(rig.messageBoxes.requests.size(), 1);
    EXPECT_TRUE(rig.messageBoxes.requests[0].text.contains(QLatin1String("Break lines left out")))
        << rig.messageBoxes.requests[0].text.toStdString();

    form.answer = [](TFormExport& dialog) { dialog.EditIsotherms->setText(QStringLiteral("50")); };

    // Into the archive: refused with the reason, nothing written.
    const QString inArchive = QDir(form.ArchiveFolder).filePath(QStringLiteral("trip.gpx"));
    rig.fileDialogs.queueFile(inArchive);
    form.MenuFileExportChart->trigger();
    ASSERT_EQ(rig.messageBoxes.errors.size(), 1);
    EXPECT_TRUE(rig.messageBoxes.errors[0].contains(QLatin1String("chart archive")));
    EXPECT_FALSE(QFile::exists(inArchive));
}
