#include "dialogs/ArchiveManagerForm.h"

TFormManageArchive::TFormManageArchive(const platform::Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_services(services) {
    // Fixed size with a close box only.
    setObjectName(QStringLiteral("FormManageArchive"));
    setWindowTitle(manageCaption());
    setModal(true);
    setFixedSize(242, 370);
}

QString TFormManageArchive::manageCaption() {
    return QStringLiteral("Manage chart archive");
}

QString TFormManageArchive::flipCaption() {
    return QStringLiteral("Flip any charts");
}
