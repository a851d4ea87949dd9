#pragma once

#include "app/MessageBox.h"

#include <QStringList>

// Stands in for the modal box: keeps every text the window would have shown.
class MessageRecorder final : public vrx::MessageBox {
public:
    void Show(const QString &text) override { shown << text; }
    QStringList shown;
};
