#pragma once
// A 1-bit bitmap as the plate reader's pictures are drawn: rows of bytes, the leftmost
// pixel of a byte in its most significant bit, pixel value 0 black and 1 white. Loaded
// from a BMP template and written as a 1-bit PNG, with no toolkit.
#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace qorva {

class MonoBitmap {
  public:
    // All white.
    MonoBitmap(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    int bytesPerRow() const { return bytesPerRow_; }
    // Row y's bytes (0 is the top row); empty outside the bitmap.
    std::span<uint8_t> row(int y);
    std::span<const uint8_t> row(int y) const;
    // 0 black, 1 white; outside the bitmap reads as white and writes nothing.
    int pixel(int x, int y) const;
    void setPixel(int x, int y, int value);
    bool operator==(const MonoBitmap&) const = default;

  private:
    int width_, height_, bytesPerRow_;
    std::vector<uint8_t> bits_;
};

// A BMP file of 1, 4, 8, 24 or 32 bits per pixel, uncompressed, made 1 bit per pixel: a
// pixel is white when its palette colour or colour is light. The reason when it cannot be
// read.
std::optional<MonoBitmap> LoadBmp(const std::string& path, std::string& error);
std::optional<MonoBitmap> DecodeBmp(std::span<const uint8_t> file, std::string& error);

// A 1-bit grayscale PNG with a physical resolution (dots per metre), so a program that
// shows it gives it a stable size.
void WritePng(const MonoBitmap& bitmap, std::ostream& out, uint32_t dotsPerMetre);
// The same in a 1-bit BMP with a black and white palette.
void WriteBmp(const MonoBitmap& bitmap, std::ostream& out, uint32_t dotsPerMetre);

} // namespace qorva
