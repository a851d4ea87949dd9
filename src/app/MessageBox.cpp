#include "app/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace vrx {

void ModalMessageBox::Show(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, MessageTitle, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace vrx
