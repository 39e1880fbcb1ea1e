#pragma once
// Where a colour swatch goes beside its row edit, in the device pixels of a screen of a given DPI. The dialog's
// controls grow with the DPI (its template is laid out in dialog units of a point-sized font), so the swatch's
// gaps grow with them: at 96 DPI they are 7, 22 and 2 pixels, at 144 DPI half as large again.

namespace sw::panel {

inline constexpr int kDefaultDpi = 96;

// `pixels` at 96 DPI in pixels at `dpi`, rounded to the nearest with halves away from zero, as MulDiv does
// (7 pixels at 144 DPI are 11).
constexpr int scaleForDpi(int pixels, int dpi) {
    const long long product = static_cast<long long>(pixels) * dpi;
    const long long half = kDefaultDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDefaultDpi : -((-product + half) / kDefaultDpi));
}

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PixelRect&) const = default;
};

// The swatch left of a row edit whose rectangle (dialog client coordinates) is `edit`: it ends 7 pixels left of
// the edit, is 15 pixels wide and 2 pixels shorter than the edit at the top and at the bottom, at 96 DPI. The
// corners are those given to Rectangle: left is the edge nearer the edit, as the dialog has always drawn it.
constexpr PixelRect swatchBeside(const PixelRect& edit, int dpi) {
    const int nearGap = scaleForDpi(7, dpi);
    const int farGap = scaleForDpi(22, dpi);
    const int inset = scaleForDpi(2, dpi);
    return PixelRect{edit.left - nearGap, edit.top + inset, edit.left - farGap, edit.bottom - inset};
}

}  // namespace sw::panel
