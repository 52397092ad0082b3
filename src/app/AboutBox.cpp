#include "app/AboutBox.h"

#include "ThalwiseVersion.h"
#include "app/AppIcon.h"
#include "platform/Desktop.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QtGlobal>

TAboutBoxVEK1::TAboutBoxVEK1(platform::Desktop& desktop, QWidget* parent)
    : QDialog(parent), m_desktop(desktop) {
    setObjectName(QStringLiteral("AboutBoxVEK1"));
    setWindowTitle(tr("About %1").arg(programName()));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(QPixmap::fromImage(app::drawAppIcon(48)));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    ProductName = new QLabel(programName(), this);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont big = ProductName->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    ProductName->setFont(big);

    Version = new QLabel(tr("Version %1").arg(version()), this);
    Version->setObjectName(QStringLiteral("Version"));

    auto* description =
        new QLabel(tr("Viewer for sea-surface temperature charts"), this);
    description->setObjectName(QStringLiteral("Comments"));

    Licence = new QLabel(tr("Free software under the MIT licence: use, copy and share it."),
                         this);
    Licence->setObjectName(QStringLiteral("Licence"));
    Licence->setWordWrap(true);

    QtVersions = new QLabel(tr("Built with Qt %1, running on Qt %2")
                                .arg(QLatin1String(QT_VERSION_STR), QLatin1String(qVersion())),
                            this);
    QtVersions->setObjectName(QStringLiteral("QtVersions"));

    WebSite = new QLabel(this);
    WebSite->setObjectName(QStringLiteral("WebSite"));
    WebSite->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(webSite()));
    WebSite->setTextFormat(Qt::RichText);
    // The link goes to the desktop's shell, never to a browser the label opens by itself.
    WebSite->setOpenExternalLinks(false);
    WebSite->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(WebSite, &QLabel::linkActivated, this,
            [this](const QString& link) { m_desktop.openUrl(QUrl(link)); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    ButtonOK = buttons->button(QDialogButtonBox::Ok);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(ProductName);
    text->addWidget(Version);
    text->addWidget(description);
    text->addSpacing(8);
    text->addWidget(WebSite);
    text->addSpacing(8);
    text->addWidget(Licence);
    text->addWidget(QtVersions);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TAboutBoxVEK1::programName() {
    return QStringLiteral("Thalwise");
}

QString TAboutBoxVEK1::version() {
    return QStringLiteral(THALWISE_VERSION);
}

QString TAboutBoxVEK1::webSite() {
    return QStringLiteral("https://thalwise.example.org/");
}
