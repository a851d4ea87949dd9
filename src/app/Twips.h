#pragma once

#include <QtGlobal>

namespace vrx {

// The window's layout is drawn in twips (1/1440 inch). At 96 dpi a pixel is 15 twips; on a screen with
// another logical dpi the layout keeps its physical size.
class TwipScale {
public:
    explicit TwipScale(qreal logicalDpiX = 96.0, qreal logicalDpiY = 96.0)
        : m_dpiX(logicalDpiX)
        , m_dpiY(logicalDpiY) {}

    int x(int twips) const { return qRound(twips * m_dpiX / 1440.0); }
    int y(int twips) const { return qRound(twips * m_dpiY / 1440.0); }

private:
    qreal m_dpiX;
    qreal m_dpiY;
};

} // namespace vrx
