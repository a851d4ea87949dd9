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
};

// The real box, modal over the active window.
class ModalMessageBox final : public MessageBox {
public:
    void Show(const QString &text) override;
};

} // namespace vrx
