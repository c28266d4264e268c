#include "compact_tab_style.h"

namespace tavrelia {

int CompactTabStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                 const QWidget* widget) const
{
    constexpr int kTabTitleSpace = 6;   // beside the title, both sides together
    if (metric == PM_TabBarTabHSpace)
        return kTabTitleSpace;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

}  // namespace tavrelia
