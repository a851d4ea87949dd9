#pragma once

#include <QAccessible>

namespace vrx {

// Makes every `Widget` answer screen readers and UI automation with an `Interface` (constructed from the
// widget). Once per process; later calls do nothing. Factories installed later are asked first, so this
// one comes before Qt's own for the widget's base class.
template <typename Widget, typename Interface>
void InstallAccessibleFactory() {
    static const bool installed =
        (QAccessible::installFactory([](const QString &className, QObject *object) -> QAccessibleInterface * {
             if (className != QLatin1String(Widget::staticMetaObject.className()))
                 return nullptr;
             auto *widget = qobject_cast<Widget *>(object);
             return widget ? new Interface(widget) : nullptr;
         }),
         true);
    Q_UNUSED(installed);
}

} // namespace vrx
