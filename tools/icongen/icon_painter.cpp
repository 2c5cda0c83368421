#include "icon_painter.h"

#include "app/icon_resources.h"
#include "font_table.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace icongen {
namespace {

using namespace iconcolour;

// The window icon's 32 × 32 design, redrawn at `size` pixels. Positions follow the design;
// lines stay thin (a pixel for each 64 of the size) the way a larger drawing would keep them.
class LargeIcon {
  public:
    explicit LargeIcon(int size) : size_(size), line_(std::max(1, size / 64)), icon_(size, size) {}

    platform::Bitmap paint() {
        paintCase();
        paintLettering();
        paintSolarStrip();
        paintDisplay();
        return std::move(icon_);
    }

  private:
    // A position of the 32-unit design in this size's pixels.
    int at(double units) const { return static_cast<int>(std::lround(units * size_ / 32.0)); }

    void fill(int left, int top, int right, int bottom, std::uint32_t rgb) {
        for (int y = std::max(top, 0); y < std::min(bottom, size_); ++y) {
            for (int x = std::max(left, 0); x < std::min(right, size_); ++x) {
                icon_.setPixel(x, y, rgb);
            }
        }
    }

    void paintCase() {
        fill(0, 0, size_, size_, kOutline);
        fill(line_, line_, size_ - line_, at(16), kCaseUpper);
        fill(line_, at(16), size_ - line_, size_ - line_, kCaseLower);
        fill(line_, line_, size_ - line_, 2 * line_, kCaseHighlight);
    }

    // The maker's name, too small to read: five marks in a row.
    void paintLettering() {
        for (int mark = 0; mark < 5; ++mark) {
            const int left = at(3 + 2 * mark);
            fill(left, at(3), left + at(1), at(3) + at(1), kLettering);
        }
    }

    void paintSolarStrip() {
        const int left = at(16) + line_;
        const int right = at(29) - line_;
        const int top = at(2) + line_;
        const int bottom = at(6) - line_;
        fill(left - line_, top - line_, right + line_, bottom + line_, kOutline);
        constexpr int kCells = 3;
        for (int cell = 0; cell < kCells; ++cell) {
            const int cellLeft = left + cell * (right - left + line_) / kCells;
            const int cellRight = left + (cell + 1) * (right - left + line_) / kCells - line_;
            fill(cellLeft, top, cellRight, bottom, kSolarCell);
            for (int y = top + line_; y < bottom; y += 2 * line_) {
                fill(cellLeft, y, cellRight, std::min(y + line_, bottom), kSolarFinger);
            }
        }
    }

    void paintDisplay() {
        // The bezel: shaded above and left, lit below and right, the panel inside.
        const int left = at(2);
        const int right = size_ - at(2);
        const int top = at(7);
        const int bottom = size_ - at(1);
        fill(left, top, right, bottom, kCaseHighlight);
        fill(left, top, right - line_, bottom - line_, kBezelShade);
        const int panelLeft = left + line_;
        const int panelTop = top + line_;
        const int panelRight = right - line_;
        const int panelBottom = bottom - line_;
        fill(panelLeft, panelTop, panelRight, panelBottom, kPanel);
        fill(panelLeft, panelTop, panelRight, panelTop + line_, kPanelShadow);
        fill(panelLeft, panelTop, panelLeft + line_, panelBottom, kPanelShadow);

        // The digit: as in the design, dots three units apart, each a square with a gap around
        // it and a shadow below and to the right when lit.
        const int pitch = 3 * size_ / 32;
        const int dot = pitch - std::max(1, pitch / 6);
        const int shadow = std::max(1, pitch / 8);
        const int width = (glyphgen::kDotColumns - 1) * pitch + dot + shadow;
        const int height = (glyphgen::kDotRows - 1) * pitch + dot + shadow;
        const int matrixLeft = (panelLeft + line_ + panelRight - width) / 2;
        const int matrixTop = (panelTop + line_ + panelBottom - height) / 2;
        const glyphgen::GlyphPattern& five = *glyphgen::findGlyph('5');
        const auto eachDot = [&](auto&& paintDot) {
            for (std::size_t row = 0; row < glyphgen::kDotRows; ++row) {
                for (std::size_t column = 0; column < glyphgen::kDotColumns; ++column) {
                    paintDot(matrixLeft + static_cast<int>(column) * pitch,
                             matrixTop + static_cast<int>(row) * pitch,
                             five.rows[row][column] == glyphgen::kLitDot);
                }
            }
        };
        // Lit dots last, so that no neighbour's shadow covers one.
        eachDot([&](int x, int y, bool lit) {
            if (!lit) {
                fill(x, y, x + dot, y + dot, kUnlitDot);
            }
        });
        eachDot([&](int x, int y, bool lit) {
            if (lit) {
                fill(x + shadow, y + shadow, x + shadow + dot, y + shadow + dot, kPanelShadow);
            }
        });
        eachDot([&](int x, int y, bool lit) {
            if (lit) {
                fill(x, y, x + dot, y + dot, kLitDot);
            }
        });
    }

    int size_;
    int line_;
    platform::Bitmap icon_;
};

} // namespace

platform::Bitmap paintDesktopIcon(int size) {
    if (size < 16) {
        return {};
    }
    if (size == 16) {
        return iconResource(102);
    }
    if (size == 32) {
        return iconResource(101);
    }
    return LargeIcon(size).paint();
}

platform::Bitmap paintMaskableIcon(int size) {
    const platform::Bitmap inner = paintDesktopIcon(size * 9 / 16);
    if (inner.empty()) {
        return {};
    }
    platform::Bitmap icon(size, size, kOutline);
    const int offset = (size - inner.width) / 2;
    for (int y = 0; y < inner.height; ++y) {
        for (int x = 0; x < inner.width; ++x) {
            icon.setPixel(offset + x, offset + y, inner.pixel(x, y));
        }
    }
    return icon;
}

} // namespace icongen
