#include "dialogs/PrintForm.h"

#include "dialogs/SsCtrlSize.h"
#include "platform/MessageBoxes.h"
#include "platform/PrintJob.h"
#include "platform/Printers.h"
#include "printing/BitmapPage.h"
#include "printing/PrintPreview.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>
#include <optional>

namespace {

constexpr QRect PreviewDesign(144, 8, printing::PreviewSide, printing::PreviewSide);

// Keeps the cursor an hourglass while it lives.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TFormPrint::TFormPrint(const platform::Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_services(services) {
    setObjectName(QStringLiteral("FormPrint"));
    setWindowTitle(caption());
    setModal(true);
    setFixedSize(603, 467);

    ImagePreview = new QLabel(this);
    ImagePreview->setObjectName(QStringLiteral("ImagePreview"));
    ImagePreview->setGeometry(PreviewDesign);
    ImagePreview->setScaledContents(true);
    ImagePreview->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The selection: a frame drawn inverting what lies beneath it, on a box without a window
    // of its own, so it is resized by the handles but not dragged as a whole.
    PaintBoxSelect = new QWidget(this);
    PaintBoxSelect->setObjectName(QStringLiteral("PaintBoxSelect"));
    PaintBoxSelect->setGeometry(176, 40, 201, 145);
    PaintBoxSelect->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    PaintBoxSelect->installEventFilter(this);
    PaintBoxSelect->hide();
    TControlSizer::setGraphicControl(PaintBoxSelect);
    ControlSizerSelect = new TControlSizer(this);
    ControlSizerSelect->OnEndMove = [this](TControlSizer&) { ControlSizerSelectEnd(); };
    ControlSizerSelect->OnEndSize = [this](TControlSizer&) { ControlSizerSelectEnd(); };

    RadioGroupPrintRange = new QGroupBox(tr(" Print range "), this);
    RadioGroupPrintRange->setObjectName(QStringLiteral("RadioGroupPrintRange"));
    RadioGroupPrintRange->setGeometry(8, 88, 129, 65);
    RadioPrintAll = new QRadioButton(tr("All"), RadioGroupPrintRange);
    RadioPrintSelection = new QRadioButton(tr("Selection"), RadioGroupPrintRange);
    auto* rangeLayout = new QVBoxLayout(RadioGroupPrintRange);
    rangeLayout->setContentsMargins(8, 4, 8, 4);
    rangeLayout->setSpacing(0);
    rangeLayout->addWidget(RadioPrintAll);
    rangeLayout->addWidget(RadioPrintSelection);
    RadioPrintAll->setChecked(true);
    connect(RadioPrintAll, &QRadioButton::clicked, this, [this] { RadioGroupPrintRangeClick(); });
    connect(RadioPrintSelection, &QRadioButton::clicked, this,
            [this] { RadioGroupPrintRangeClick(); });

    // The box's text is wrapped beside it: the left column is narrower than the text.
    CheckBoxCaption = new QCheckBox(this);
    CheckBoxCaption->setObjectName(QStringLiteral("CheckBoxCaption"));
    CheckBoxCaption->setGeometry(12, 164, 20, 20);
    CheckBoxCaption->setAccessibleName(tr("Caption under the chart"));
    CheckBoxCaption->setToolTip(tr("The area, the chart's date and age, the temperature range "
                                   "and the corners' positions under the printed chart"));
    CheckBoxCaption->setChecked(true);
    m_captionLabel = new QLabel(CheckBoxCaption->accessibleName(), this);
    m_captionLabel->setObjectName(QStringLiteral("LabelCaption"));
    m_captionLabel->setGeometry(34, 162, 106, 36);
    m_captionLabel->setWordWrap(true);
    m_captionLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_captionLabel->setToolTip(CheckBoxCaption->toolTip());
    m_captionLabel->installEventFilter(this);

    LabelProgress = new QLabel(this);
    LabelProgress->setObjectName(QStringLiteral("LabelProgress"));
    LabelProgress->setGeometry(8, 24, 129, 18);
    LabelProgress->setAlignment(Qt::AlignCenter);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(8, 44, 129, 17);
    ProgressBar->setRange(0, 100);
    ProgressBar->setTextVisible(false);
    ProgressBar->hide();

    auto button = [this](const char* name, const QString& text, int top) {
        auto* made = new QPushButton(text, this);
        made->setObjectName(QString::fromLatin1(name));
        made->setGeometry(32, top, 81, 25);
        return made;
    };
    ButtonPreview = button("ButtonPreview", tr("Preview"), 312);
    ButtonPrint = button("ButtonPrint", tr("Print"), 352);
    ButtonPrintSetup = button("ButtonPrintSetup", tr("Setup"), 392);
    ButtonClose = button("ButtonClose", tr("Close"), 432);
    ButtonPrint->setDefault(true);
    connect(ButtonPreview, &QPushButton::clicked, this, [this] { ButtonPreviewClick(); });
    connect(ButtonPrint, &QPushButton::clicked, this, [this] { ButtonPrintClick(); });
    connect(ButtonPrintSetup, &QPushButton::clicked, this, [this] { ButtonPrintSetupClick(); });
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::reject);

    TimerLoad = new QTimer(this);
    TimerLoad->setSingleShot(true);
    TimerLoad->setInterval(50);
    connect(TimerLoad, &QTimer::timeout, this, [this] { TimerLoadTimer(); });
}

TFormPrint::~TFormPrint() {
    ControlSizerSelect->setControl(nullptr);
    ImagePreview->clear();
}

QString TFormPrint::caption() {
    return tr("\"Pelagon\" - print image");
}

void TFormPrint::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

bool TFormPrint::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QDialog::event(event);
}

void TFormPrint::FormShow() {
    LabelProgress->clear();
    LabelProgress->setToolTip(QString());
    PreviewBitmap = SourceBitmap.copy();
    ImagePreview->setPixmap(QPixmap::fromImage(PreviewBitmap));
    // Shaped at once too, so that a dialog that never gets activated shows the right preview.
    TimerLoadTimer();
}

void TFormPrint::FormActivate() {
    TimerLoad->start();
}

void TFormPrint::TimerLoadTimer() {
    TimerLoad->stop();
    const BusyCursor busy;
    const QRect preview(PreviewDesign.topLeft(), printing::previewSize(PreviewBitmap.size()));
    ImagePreview->setGeometry(preview);
    // Quirk "selection-kept-on-activation": the first selection is placed when the dialog first
    // shows its picture; coming back from Setup, a message or the page preview activates the
    // dialog again and keeps the selection the user made.
    if (!m_selectionPlaced) {
        m_selectionPlaced = true;
        PaintBoxSelect->setGeometry(printing::firstSelection(preview));
        // The handles follow the selection to its new place.
        if (ControlSizerSelect->Control()) {
            ControlSizerSelect->setControl(nullptr);
            ControlSizerSelect->setControl(PaintBoxSelect);
        }
    }
    setFixedWidth(printing::printDialogClientWidth(preview));
    ProgressBar->setValue(0);
    LabelProgress->setToolTip(QString());
    showSelectionFits();
}

void TFormPrint::RadioGroupPrintRangeClick() {
    ControlSizerSelect->setControl(nullptr);
    PaintBoxSelect->hide();
    if (RadioPrintSelection->isChecked()) {
        PaintBoxSelect->show();
        PaintBoxSelect->raise();
        ControlSizerSelect->setControl(PaintBoxSelect);
    }
    showSelectionFits();
}

bool TFormPrint::eventFilter(QObject* watched, QEvent* event) {
    // A click on the box's text ticks the box, as on a check box's own text.
    if (watched == m_captionLabel && event->type() == QEvent::MouseButtonRelease) {
        CheckBoxCaption->toggle();
        return true;
    }
    if (watched == PaintBoxSelect && event->type() == QEvent::Paint) {
        QPainter painter(PaintBoxSelect);
        if (m_selectionTooSmall) {
            // Not a block of colour: a red cross over a red frame, as the label beside says.
            const QRect box = PaintBoxSelect->rect().adjusted(0, 0, -1, -1);
            painter.setPen(QPen(QColor(200, 0, 0), 1));
            painter.drawRect(box);
            painter.drawLine(box.topLeft(), box.bottomRight());
            painter.drawLine(box.bottomLeft(), box.topRight());
            return true;
        }
        // A 1-pixel frame that inverts the colours beneath it; the inside is left alone.
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.setPen(Qt::white);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(PaintBoxSelect->rect().adjusted(0, 0, -1, -1));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormPrint::ControlSizerSelectEnd() {
    PaintBoxSelect->setGeometry(
        printing::keptOnPreview(PaintBoxSelect->geometry(), ImagePreview->geometry()));
    PaintBoxSelect->update();
    ControlSizerSelect->setControl(nullptr);
    ControlSizerSelect->setControl(PaintBoxSelect);
    showSelectionFits();
}

void TFormPrint::showSelectionFits() {
    m_selectionTooSmall = RadioPrintSelection->isChecked() && !PreviewBitmap.isNull() &&
                          printing::selectionTooSmall(selectionInPicture());
    ButtonPrint->setEnabled(!m_selectionTooSmall);
    ButtonPreview->setEnabled(!m_selectionTooSmall);
    LabelProgress->setText(m_selectionTooSmall ? tr("Selection too small to print") : QString());
    PaintBoxSelect->update();
}

QRect TFormPrint::selectionInPicture() const {
    return printing::selectionInPicture(PaintBoxSelect->geometry(), ImagePreview->geometry(),
                                        PreviewBitmap.size());
}

std::optional<std::optional<QRect>> TFormPrint::rangeToPrint() const {
    if (PreviewBitmap.isNull()) return std::nullopt; // no chart: nothing to print
    if (!RadioPrintSelection->isChecked()) return std::optional<QRect>();
    const QRect selection = selectionInPicture();
    // An empty selection prints nothing; one too small is said so on the preview.
    if (selection.isEmpty() || printing::selectionTooSmall(selection)) return std::nullopt;
    return std::optional<QRect>(selection);
}

printing::PageOptions TFormPrint::pageOptions(const std::optional<QRect>& selection) const {
    printing::PageOptions options;
    if (CaptionFacts) options.title = printing::documentTitle(*CaptionFacts);
    if (CaptionFacts && CheckBoxCaption->isChecked()) {
        printing::CaptionFacts facts = *CaptionFacts;
        facts.picture = selection ? *selection : PreviewBitmap.rect();
        options.caption = printing::chartCaption(facts);
    }
    return options;
}

void TFormPrint::ButtonPreviewClick() {
    const std::optional<std::optional<QRect>> range = rangeToPrint();
    if (!range) return;
    const printing::PageOptions options = pageOptions(*range);
    m_services.printers->preview([this, &range, &options](platform::PrintJob& job) {
        PreviewBitmapPage(job, PreviewBitmap, *range, options);
    });
}

void TFormPrint::ButtonPrintClick() {
    const std::optional<std::optional<QRect>> range = rangeToPrint();
    if (!range) return;
    const std::optional<QRect>& selection = *range;
    const BusyCursor busy;
    LabelProgress->setText(tr("Printing"));
    ProgressBar->setMaximum(100);
    ProgressBar->show();
    // Only the label and the bar are drawn while the page goes out: the event loop does not
    // run, so no timer, activation, close box or end of the session is served mid-job; they
    // wait until the job has ended.
    LabelProgress->repaint();
    ProgressBar->repaint();
    const std::unique_ptr<platform::PrintJob> job = m_services.printers->createJob();
    if (!job) { // no PDF file named: nothing printed, nothing to say
        LabelProgress->clear();
        ProgressBar->hide();
        return;
    }
    printing::PageOptions options = pageOptions(selection);
    // A PDF file keeps the picture as it is sent: once, at its own pixels.
    options.wholePicture = !m_services.printers->lastOutputFile().isEmpty();
    const printing::PageJobResult result = PrintBitmapPage(
        *job, PreviewBitmap, selection,
        [this](int percent) {
            ProgressBar->setValue(percent);
            ProgressBar->repaint();
        },
        options);
    LabelProgress->clear();
    LabelProgress->setToolTip(QString());
    ProgressBar->hide();
    ProgressBar->setValue(0);

    platform::MessageBoxRequest message;
    message.caption = caption();
    switch (result.status) {
    case printing::PageJobStatus::Printed: {
        // A page written to a PDF file says which file it is.
        const QString file = m_services.printers->lastOutputFile();
        if (!file.isEmpty()) {
            const QFileInfo info(file);
            LabelProgress->setText(LabelProgress->fontMetrics().elidedText(
                info.fileName(), Qt::ElideMiddle, LabelProgress->width()));
            LabelProgress->setToolTip(QDir::toNativeSeparators(info.absoluteFilePath()));
        }
        return;
    }
    case printing::PageJobStatus::NothingToPrint:
        return;
    case printing::PageJobStatus::BitmapLoadError:
        message.text =
            result.message.isEmpty()
                ? QCoreApplication::translate("BitmapPage", printing::message::BitmapLoadError)
                : result.message;
        break;
    // A page that never came out is said so, rather than the dialog looking as if it printed.
    case printing::PageJobStatus::NotStarted:
        message.text = tr("The chart could not be printed: the printer could not be "
                          "opened. Choose one with Setup.");
        break;
    case printing::PageJobStatus::Incomplete:
        message.text =
            result.message.isEmpty() ? tr("The chart was not printed completely.") : result.message;
        break;
    }
    message.icon = platform::Icon::Warning;
    m_services.messageBoxes->show(message);
}

void TFormPrint::ButtonPrintSetupClick() {
    m_services.printers->printerSetup();
}
