#pragma once

#include <QString>

class QWidget;

namespace vrx {

// The caption of every box the program shows.
inline const QString MessageTitle = QStringLiteral("VRX系列在线配置软件");

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
public:
    void Show(const QString &text) override;
    bool Confirm(const QString &text, const QString &accept) override;
};

} // namespace vrx
