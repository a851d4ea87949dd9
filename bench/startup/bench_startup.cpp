// Prints how long the window takes to appear: from creating the application object to the first
// exposure of the shown window. Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "app/Form1.h"
#include "app/MessageBox.h"
#include "app/WindowLanguage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QWindow>

#include <cstdio>
#include <string_view>

namespace {

constexpr double GoalMs = 150.0;

// Quits the loop at the window's first exposure.
class ExposeWatch : public QObject {
public:
    explicit ExposeWatch(QEventLoop &loop)
        : m_loop(loop) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed())
            m_loop.quit();
        return false;
    }

private:
    QEventLoop &m_loop;
};

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    const qint64 appNs = clock.nsecsElapsed();
    // "bench_startup en": the window in English, its catalogues loaded as a run with --language en does.
    if (argc > 1 && argv[1] == std::string_view("en"))
        vrx::UseLanguage(vrx::Language::English);
    const qint64 languageNs = clock.nsecsElapsed();

    vrx::ModalMessageBox messages;
    vrx::Form1 window(messages);
    const qint64 builtNs = clock.nsecsElapsed();

    QWindow *handle = window.windowHandle();
    if (!handle->isExposed()) {
        QEventLoop loop;
        ExposeWatch watch(loop);
        handle->installEventFilter(&watch);
        loop.exec();
        handle->removeEventFilter(&watch);
    }
    const qint64 shownNs = clock.nsecsElapsed();

    const double totalMs = shownNs / 1e6;
    std::printf("platform            %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("application         %8.1f ms\n", appNs / 1e6);
    std::printf("language            %8.1f ms\n", (languageNs - appNs) / 1e6);
    std::printf("window built+loaded %8.1f ms\n", (builtNs - languageNs) / 1e6);
    std::printf("until exposed       %8.1f ms\n", (shownNs - builtNs) / 1e6);
    std::printf("start-up total      %8.1f ms  (goal %.0f ms, ratio %.2f)\n", totalMs, GoalMs,
                totalMs / GoalMs);
    return totalMs < GoalMs ? 0 : 1;
}
