#pragma once

#include <QProxyStyle>

namespace tavrelia {

// Tabs with less room beside their titles, so that the seven titles of the input
// notebook all show at the window's width instead of behind scroll arrows.
class CompactTabStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
};

}  // namespace tavrelia
