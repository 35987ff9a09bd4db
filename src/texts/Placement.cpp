#include "texts/Placement.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

int ScaleByDpi(int pixels, int dpi) {
    if (dpi <= 96)
        return pixels;
    return static_cast<int>(static_cast<long long>(pixels) * dpi / 96);
}

TRect CentredPlacement(int minWidth, int minHeight, int dpi, int screenWidth, int screenHeight) {
    TRect r;
    r.Width = ScaleByDpi(minWidth, dpi);
    r.Height = ScaleByDpi(minHeight, dpi);
    r.Left = std::max(0, (screenWidth - r.Width) / 2);
    r.Top = std::max(0, (screenHeight - r.Height) / 2);
    return r;
}

bool ParseWinPos(const std::string& text, TRect& rect) {
    int values[4];
    const char* p = text.c_str();
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (*p != ',')
                return false;
            ++p;
        }
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(p, &end, 10);
        if (end == p)
            return false;
        values[i] = static_cast<int>(std::clamp<long>(v, INT_MIN, INT_MAX));
        p = end;
    }
    rect = {values[0], values[1], values[2], values[3]};
    return true;
}

std::string FormatWinPos(const TRect& rect) {
    return std::to_string(rect.Left) + "," + std::to_string(rect.Top) + "," +
           std::to_string(rect.Width) + "," + std::to_string(rect.Height);
}

namespace {
// True when at least a corner of 32 by 32 pixels of the window lies on a screen,
// enough to take hold of it.
bool Shows(const TRect& window, const TRect& screen) {
    const long long left = std::max<long long>(window.Left, screen.Left);
    const long long top = std::max<long long>(window.Top, screen.Top);
    const long long right = std::min<long long>(static_cast<long long>(window.Left) + window.Width,
                                                static_cast<long long>(screen.Left) + screen.Width);
    const long long bottom =
        std::min<long long>(static_cast<long long>(window.Top) + window.Height,
                            static_cast<long long>(screen.Top) + screen.Height);
    return right - left >= 32 && bottom - top >= 32;
}
} // namespace

TWindowPlacement PlaceWindow(const std::string& winPos, int minWidth, int minHeight, int dpi,
                             const std::vector<TRect>& screens) {
    TWindowPlacement placement;
    const TRect primary = screens.empty() ? TRect{0, 0, 1024, 768} : screens.front();
    const TRect centred = CentredPlacement(minWidth, minHeight, dpi, primary.Width, primary.Height);
    placement.Bounds = {primary.Left + centred.Left, primary.Top + centred.Top, centred.Width,
                        centred.Height};
    if (winPos == "MAX") {
        placement.Maximized = true;
        return placement;
    }
    TRect stored;
    if (winPos.empty() || !ParseWinPos(winPos, stored))
        return placement;
    placement.Bounds = stored;
    TRect& b = placement.Bounds;
    b.Width = std::max(b.Width, ScaleByDpi(minWidth, dpi));
    b.Height = std::max(b.Height, ScaleByDpi(minHeight, dpi));
    const bool visible =
        std::any_of(screens.begin(), screens.end(), [&](const TRect& s) { return Shows(b, s); });
    if (!visible && !screens.empty()) {
        b.Width = std::min(b.Width, primary.Width);
        b.Height = std::min(b.Height, primary.Height);
        b.Left = std::clamp(b.Left, primary.Left, primary.Left + primary.Width - b.Width);
        b.Top = std::clamp(b.Top, primary.Top, primary.Top + primary.Height - b.Height);
    }
    return placement;
}
