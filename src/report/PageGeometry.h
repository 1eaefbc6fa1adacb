#pragma once

namespace kqvdr {

// The report's page mapping: 1000 × 1000 logical units over the printable area, of which the
// page uses 900 across. Positions are inches from the printable area's top-left corner; a row
// lands exactly that far down, a column 0.9 of that far across.
class PageGeometry {
public:
    static constexpr double kLogicalExtent = 1000.0;
    static constexpr double kPageWidthUnits = 900.0;
    static constexpr double kPageHeightUnits = 1000.0;

    // The printable area in device pixels and the device's resolution.
    PageGeometry(double widthPixels, double heightPixels, double dpiX, double dpiY);

    double widthInches() const { return widthPixels_ / dpiX_; }
    double heightInches() const { return heightPixels_ / dpiY_; }

    // Inches to logical units.
    double rowUnits(double row) const { return row / (heightInches() / kPageHeightUnits); }
    double columnUnits(double column) const { return column / (widthInches() / kPageWidthUnits); }
    // Logical units back to a row in inches.
    double unitsToRow(double units) const { return units * (heightInches() / kPageHeightUnits); }

    // Logical units to device pixels.
    double deviceX(double units) const { return units * widthPixels_ / kLogicalExtent; }
    double deviceY(double units) const { return units * heightPixels_ / kLogicalExtent; }
    double unitsFromDeviceY(double pixels) const { return pixels * kLogicalExtent / heightPixels_; }

    double dpiY() const { return dpiY_; }

private:
    double widthPixels_;
    double heightPixels_;
    double dpiX_;
    double dpiY_;
};

} // namespace kqvdr
