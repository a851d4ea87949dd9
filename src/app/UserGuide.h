#pragma once

#include <QDialog>

class QTextBrowser;

namespace vrx {

// "使用说明": a short guide in the window's language, shipped inside the program and readable offline:
// the three operations, finding readers, key files, the traffic log and the factory-address case.
// Modeless; it follows a change of language at once.
class UserGuide : public QDialog {
    Q_OBJECT

public:
    explicit UserGuide(QWidget *parent);

    QTextBrowser *Text = nullptr;

    // The guide's page in the language now spoken.
    static QString PageFor(bool english);

protected:
    void changeEvent(QEvent *event) override;

private:
    void ShowInLanguage();
};

} // namespace vrx
