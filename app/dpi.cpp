// Scale look-ups through GetProcAddress: user32 of Windows 7 and 8 lacks them,
// and the program must start there.
#include "app/dpi.h"

#include <cstdlib>

#include "app/resource.h"

namespace {

using DpiForWindow = UINT(WINAPI*)(HWND);
using MetricsForDpi = int(WINAPI*)(int, UINT);
using ParametersForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

// Looked up once per function: the layout asks at every resize.
template <typename Function>
Function user32_function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

UINT system_dpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : NORMAL_DPI;
}

const ScaleImages kScaleImages[] = {
    {96, IDB_TOOLBAR, 16, 15, IDB_STATUS_IMAGES, 9},
    {120, IDB_TOOLBAR_125, 20, 19, IDB_STATUS_IMAGES_125, 11},
    {144, IDB_TOOLBAR_150, 24, 23, IDB_STATUS_IMAGES_150, 14},
    {192, IDB_TOOLBAR_200, 32, 30, IDB_STATUS_IMAGES_200, 18},
};

}  // namespace

UINT window_dpi(HWND window) {
    static const DpiForWindow dpi_for_window = user32_function<DpiForWindow>("GetDpiForWindow");
    UINT dpi = dpi_for_window && window ? dpi_for_window(window) : 0;
    return dpi ? dpi : system_dpi();
}

int scaled(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), NORMAL_DPI); }

int unscaled(int value, UINT dpi) { return dpi ? MulDiv(value, NORMAL_DPI, static_cast<int>(dpi)) : value; }

int metric_for_dpi(int index, UINT dpi) {
    static const MetricsForDpi metrics = user32_function<MetricsForDpi>("GetSystemMetricsForDpi");
    if (metrics) return metrics(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(system_dpi()));
}

HFONT create_message_font(UINT dpi) {
    // The per-dpi function fills only the wide structure.
    static const ParametersForDpi parameters = user32_function<ParametersForDpi>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW wide = {};
    wide.cbSize = sizeof wide;
    if (parameters && parameters(SPI_GETNONCLIENTMETRICS, sizeof wide, &wide, 0, dpi)) {
        return CreateFontIndirectW(&wide.lfMessageFont);
    }
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        LOGFONTA& font = metrics.lfMessageFont;
        font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(system_dpi()));
        return CreateFontIndirectA(&font);
    }
    return CreateFontA(-MulDiv(8, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                       VARIABLE_PITCH | FF_SWISS, "MS Shell Dlg 2");
}

bool high_contrast_on() {
    HIGHCONTRASTA contrast = {};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

const ScaleImages& images_for_dpi(UINT dpi) {
    // Halfway between two sets the larger one wins: a little large reads
    // better than a little small.
    const ScaleImages* nearest = &kScaleImages[0];
    for (const ScaleImages& set : kScaleImages) {
        if (std::abs(static_cast<int>(set.dpi) - static_cast<int>(dpi)) <=
            std::abs(static_cast<int>(nearest->dpi) - static_cast<int>(dpi))) {
            nearest = &set;
        }
    }
    return *nearest;
}
