#pragma once

#include <QString>

class QWidget;

namespace vrx {

// Asks the operator for a file. The window receives it like its MessageBox, so tests can name the
// file themselves instead of clicking through a dialog.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // An existing file to read; empty when the operator cancelled.
    virtual QString FileToOpen(QWidget *parent, const QString &caption, const QString &filter) = 0;
    // A file to write, starting from `suggestedName`; empty when the operator cancelled. The chooser
    // has asked already whether an existing file may be replaced.
    virtual QString FileToSave(QWidget *parent, const QString &caption, const QString &suggestedName,
                               const QString &filter) = 0;
};

// The toolkit's modal file dialogs; each starts in the folder the previous one ended in.
class DialogFileChooser final : public FileChooser {
public:
    QString FileToOpen(QWidget *parent, const QString &caption, const QString &filter) override;
    QString FileToSave(QWidget *parent, const QString &caption, const QString &suggestedName,
                       const QString &filter) override;

private:
    QString m_folder;
};

} // namespace vrx
