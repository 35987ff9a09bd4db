// Where the main window goes at start-up: the stored "WinPos" value, or centred
// at its minimum size on the primary screen.
#pragma once

#include <string>
#include <vector>

struct TRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

struct TWindowPlacement {
    bool Maximized = false;
    TRect Bounds;
};

// A length in pixels at 96 dots per inch, scaled to `dpi` (never scaled down).
int ScaleByDpi(int pixels, int dpi);

// The centred default: the minimum size scaled by dpi, centred on a screen of
// the given size, never left of or above it.
TRect CentredPlacement(int minWidth, int minHeight, int dpi, int screenWidth, int screenHeight);

// Parses "left,top,width,height" (four decimal integers as "%d,%d,%d,%d"
// reads them). False unless all four are there.
bool ParseWinPos(const std::string& text, TRect& rect);

// The placement for a stored WinPos value. "MAX" (exactly) maximizes. A value
// without four numbers gives the centred default. A window no screen would show
// is moved onto the primary screen (the first one), its size kept within it.
TWindowPlacement PlaceWindow(const std::string& winPos, int minWidth, int minHeight, int dpi,
                             const std::vector<TRect>& screens);

// "left,top,width,height" as written back.
std::string FormatWinPos(const TRect& rect);
