#pragma once

#include "MessageRecorder.h"
#include "app/Form1.h"

#include <QPointer>
#include <QTest>

// The window as the operator finds it: shown and active, so that key events reach its fields, with
// every message kept by a recorder. A test's init() opens it and its cleanup() closes it.
// The form is held by a QPointer: a test may let the window delete itself on close.
class WindowFixture {
public:
    MessageRecorder *messages = nullptr;
    QPointer<vrx::Form1> form;

    // False when the window never became active.
    [[nodiscard]] bool openWindow(vrx::FileChooser *files = nullptr) {
        messages = new MessageRecorder;
        form = files ? new vrx::Form1(*messages, *files) : new vrx::Form1(*messages);
        form->activateWindow();
        return QTest::qWaitForWindowActive(form);
    }
    void closeWindow() {
        delete form;
        delete messages;
        messages = nullptr;
    }
};
