#pragma once

#include <QCoreApplication>
#include <QString>

class QWidget;

namespace vrx {

// The caption of every box the program shows, in the window's language.
QString MessageTitle();

// Every report to the operator goes through this one door: a modal box with an OK button only and the
// title above. The window receives it in its constructor, so tests can put a recorder in its place.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Returns once the operator has dismissed the box.
    virtual void Show(const QString &text) = 0;
    // Asks before a step that cannot be taken back, in a box with the same title and two buttons:
    // `accept` names the step, the other cancels. True only when the operator chose `accept`. A box
    // that cannot ask declines, so nothing happens unasked.
    virtual bool Confirm(const QString &text, const QString &accept) {
        Q_UNUSED(text);
        Q_UNUSED(accept);
        return false;
    }
};

// The real box, modal over the active window.
class ModalMessageBox final : public MessageBox {
    Q_DECLARE_TR_FUNCTIONS(vrx::MessageBox)

public:
    void Show(const QString &text) override;
    bool Confirm(const QString &text, const QString &accept) override;
};

} // namespace vrx
