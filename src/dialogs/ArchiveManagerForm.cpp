#include "dialogs/ArchiveManagerForm.h"

#include "archive/ArchiveTidyUp.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

TFormManageArchive::TFormManageArchive(const platform::Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_services(services) {
    // Fixed size with a close box only.
    setObjectName(QStringLiteral("FormManageArchive"));
    setWindowTitle(manageCaption());
    setModal(true);
    setFixedSize(242, 370);

    LabelSelect = new QLabel(this);
    LabelSelect->setObjectName(QStringLiteral("LabelSelect"));
    LabelSelect->setGeometry(8, 8, 226, 40);
    LabelSelect->setWordWrap(true);
    CheckListBox = new QListWidget(this);
    CheckListBox->setObjectName(QStringLiteral("CheckListBox"));
    CheckListBox->setGeometry(8, 52, 225, 257);
    ButtonOK = new QPushButton(tr("OK"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setGeometry(36, 324, 80, 30);
    ButtonOK->setDefault(true);
    ButtonCancel = new QPushButton(tr("Cancel"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setGeometry(128, 324, 80, 30);

    connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { reject(); });
    // A double click or the space bar ticks the name under it, as in a check list.
    connect(CheckListBox, &QListWidget::itemActivated, this, [](QListWidgetItem* item) {
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
}

QString TFormManageArchive::manageCaption() {
    return tr("Manage chart archive");
}

QString TFormManageArchive::moveToTrashText() {
    return tr("Move to trash");
}

QString TFormManageArchive::flipCaption() {
    return tr("Flip any charts");
}

void TFormManageArchive::FormShow() {
    CheckListBox->clear();
    for (const QString& name : FileNames) {
        auto* item = new QListWidgetItem(name, CheckListBox);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    setWindowTitle(DeleteMode ? manageCaption() : flipCaption());
    // The ticked charts go to the trash, not away for good, and the dialog says so.
    LabelSelect->setText(DeleteMode ? tr("Check the chart files to move to the trash")
                                    : tr("Check the chart files to flip"));
    ButtonOK->setText(DeleteMode ? moveToTrashText() : tr("OK"));
}

bool TFormManageArchive::ShowModal() {
    FormShow();
    return exec() == QDialog::Accepted;
}

void TFormManageArchive::ButtonOKClick() {
    QStringList ticked;
    for (int row = 0; row < CheckListBox->count(); ++row)
        if (CheckListBox->item(row)->checkState() == Qt::Checked)
            ticked.append(CheckListBox->item(row)->text());
    FileNames = ticked;
    if (DeleteMode && !ticked.isEmpty()) {
        platform::MessageBoxRequest question;
        question.caption = QCoreApplication::translate("ArchiveTidyUp", archive::DeleteCaption);
        question.text = archive::deleteQuestion(ticked);
        question.buttons = platform::Button::Yes | platform::Button::No;
        question.icon = platform::Icon::Question;
        question.defaultButton = platform::Button::No;
        question.yesText = moveToTrashText();
        if (m_services.messageBoxes->show(question) == platform::Button::Yes) {
            QStringList paths;
            for (const QString& name : ticked)
                paths.append(Folder + name);
            // To the trash; a chart the trash refuses stays unless the user then chooses
            // otherwise, and is offered again next time.
            archive::removeCharts(*m_services.fileSystem, *m_services.messageBoxes, paths,
                                  question.caption);
        }
    }
    accept();
}

void TFormManageArchive::reject() {
    FileNames.clear();
    QDialog::reject();
}
