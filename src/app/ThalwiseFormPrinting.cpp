// Printing the chart.

#include "app/ThalwiseForm.h"

#include "app/vekImage.h"
#include "dialogs/ArchiveManagerForm.h"
#include "dialogs/PrintForm.h"

// ---------------------------------------------------------------------------------------------
// Hooks: filled in by the units that own these commands and routines.

void TFormThalwise::MenuFilePrintClick() {
    // Made for each use, on the picture as the chart display shows it, marks included.
    TFormPrint dialog(m_services, this);
    dialog.SourceBitmap = m_displayPicture;
    showPrintDialog(dialog);
}

void TFormThalwise::showPrintDialog(TFormPrint& dialog) {
    dialog.exec();
}
