#pragma once
#include "platform/Services.h"
#include "printing/BitmapPage.h"

#include <QDialog>
#include <QImage>
#include <QRect>

#include <optional>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QGroupBox;
class QTimer;
class TControlSizer;

// The print dialog: a preview of the picture the chart display shows, the whole of it or a
// selection dragged with grab handles over the preview printed on one page, with progress.
// Created for each use and shown modally.
class TFormPrint : public QDialog {
    Q_OBJECT

public:
    // services must outlive the dialog.
    explicit TFormPrint(const platform::Services& services, QWidget* parent = nullptr);
    ~TFormPrint() override;

    static QString caption();

    // Set by the caller before the dialog is shown: the chart display's picture.
    QImage SourceBitmap;
    // The preview's own copy of it, made when the dialog is shown: what is printed.
    QImage PreviewBitmap;
    // Set by the caller: what the caption under the printed chart is made from; without it the
    // chart prints alone. Its picture is set to the printed part when the page is made.
    std::optional<printing::CaptionFacts> CaptionFacts;

    QLabel* ImagePreview = nullptr;
    QWidget* PaintBoxSelect = nullptr;
    TControlSizer* ControlSizerSelect = nullptr;
    QGroupBox* RadioGroupPrintRange = nullptr;
    QRadioButton* RadioPrintAll = nullptr;
    QRadioButton* RadioPrintSelection = nullptr;
    // "Caption under the chart": on by default; the caller keeps it as a setting.
    QCheckBox* CheckBoxCaption = nullptr;
    QLabel* LabelProgress = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* ButtonPreview = nullptr;
    QPushButton* ButtonPrint = nullptr;
    QPushButton* ButtonPrintSetup = nullptr;
    QPushButton* ButtonClose = nullptr;
    QTimer* TimerLoad = nullptr;

    void FormShow();
    void FormActivate();
    void TimerLoadTimer();
    void RadioGroupPrintRangeClick();
    void ControlSizerSelectEnd();
    // The page as "Print" would print it, in the printer's preview; the selection stays.
    void ButtonPreviewClick();
    void ButtonPrintClick();
    void ButtonPrintSetupClick();

    // The selection over the preview in picture pixels, as "Print" would print it.
    QRect selectionInPicture() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What "Print" prints: nothing when there is no picture or the selection maps to no pixel;
    // otherwise the selection in picture pixels, or none for the whole picture.
    std::optional<std::optional<QRect>> rangeToPrint() const;
    // How the page is made for that range: the caption when it is ticked and there are facts.
    printing::PageOptions pageOptions(const std::optional<QRect>& selection) const;

    const platform::Services m_services;
    QLabel* m_captionLabel = nullptr; // the caption box's text, wrapped beside it
    // The first selection has been placed; later activations keep the user's.
    bool m_selectionPlaced = false;
    // Says, on the preview and beside it, when the selection is too small to print; Print and
    // Preview wait for a larger one.
    void showSelectionFits();
    bool m_selectionTooSmall = false;
};
