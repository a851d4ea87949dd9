#pragma once

#include "app/MessageBox.h"

#include <QStringList>

// Stands in for the modal box: keeps every text the window would have shown, and answers every
// confirmation with `answer`, keeping its text in `asked`.
class MessageRecorder final : public vrx::MessageBox {
public:
    void Show(const QString &text) override { shown << text; }
    bool Confirm(const QString &text, const QString &accept) override {
        Q_UNUSED(accept);
        asked << text;
        return answer;
    }
    QStringList shown;
    QStringList asked;
    bool answer = true;
};
