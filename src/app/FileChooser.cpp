#include "app/FileChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace vrx {

namespace {

QString ChosenFile(QFileDialog &dialog, QString &folder) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString file = dialog.selectedFiles().front();
    folder = QFileInfo(file).absolutePath();
    return file;
}

} // namespace

QString DialogFileChooser::FileToOpen(QWidget *parent, const QString &caption, const QString &filter) {
    QFileDialog dialog(parent, caption, m_folder.isEmpty() ? QDir::homePath() : m_folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return ChosenFile(dialog, m_folder);
}

QString DialogFileChooser::FileToSave(QWidget *parent, const QString &caption, const QString &suggestedName,
                                      const QString &filter) {
    const QString folder = m_folder.isEmpty() ? QDir::homePath() : m_folder;
    QFileDialog dialog(parent, caption, QDir(folder).filePath(suggestedName), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    return ChosenFile(dialog, m_folder);
}

} // namespace vrx
