#include "app/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace vrx {

QString MessageTitle() {
    return QCoreApplication::translate("vrx::MessageBox", "VRX系列在线配置软件");
}

void ModalMessageBox::Show(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, MessageTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool ModalMessageBox::Confirm(const QString &text, const QString &accept) {
    QMessageBox box(QMessageBox::Warning, MessageTitle(), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton *yes = box.addButton(accept, QMessageBox::AcceptRole);
    QPushButton *no = box.addButton(tr("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(no); // Enter alone must not take the step
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace vrx
