#include "platform/mono_bitmap.h"

#include <array>
#include <fstream>
#include <iterator>

namespace qorva {

MonoBitmap::MonoBitmap(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), bytesPerRow_((width_ + 7) / 8),
      bits_(static_cast<size_t>(bytesPerRow_) * static_cast<size_t>(height_), 0xFF) {}

std::span<uint8_t> MonoBitmap::row(int y) {
    if (y < 0 || y >= height_) return {};
    return {bits_.data() + static_cast<size_t>(y) * bytesPerRow_,
            static_cast<size_t>(bytesPerRow_)};
}

std::span<const uint8_t> MonoBitmap::row(int y) const {
    if (y < 0 || y >= height_) return {};
    return {bits_.data() + static_cast<size_t>(y) * bytesPerRow_,
            static_cast<size_t>(bytesPerRow_)};
}

int MonoBitmap::pixel(int x, int y) const {
    if (x < 0 || x >= width_ || y < 0 || y >= height_) return 1;
    return (row(y)[static_cast<size_t>(x / 8)] >> (7 - x % 8)) & 1;
}

void MonoBitmap::setPixel(int x, int y, int value) {
    if (x < 0 || x >= width_ || y < 0 || y >= height_) return;
    uint8_t& byte = row(y)[static_cast<size_t>(x / 8)];
    const auto bit = static_cast<uint8_t>(0x80 >> (x % 8));
    byte = value ? (byte | bit) : (byte & ~bit);
}

namespace {

// Templates are small; anything larger is no template.
constexpr int32_t kLargestSide = 16384;

class Reader {
  public:
    explicit Reader(std::span<const uint8_t> data) : data_(data) {}
    bool has(size_t at, size_t n) const { return at <= data_.size() && n <= data_.size() - at; }
    uint32_t u16(size_t at) const { return has(at, 2) ? data_[at] | data_[at + 1] << 8 : 0; }
    uint32_t u32(size_t at) const {
        return has(at, 4) ? static_cast<uint32_t>(data_[at]) | data_[at + 1] << 8 |
                                data_[at + 2] << 16 | static_cast<uint32_t>(data_[at + 3]) << 24
                          : 0;
    }
    uint8_t byte(size_t at) const { return at < data_.size() ? data_[at] : 0; }

  private:
    std::span<const uint8_t> data_;
};

bool light(uint32_t blue, uint32_t green, uint32_t red) {
    return red * 299 + green * 587 + blue * 114 >= 128 * 1000;
}

} // namespace

std::optional<MonoBitmap> DecodeBmp(std::span<const uint8_t> file, std::string& error) {
    const Reader in(file);
    if (!in.has(0, 54) || in.byte(0) != 'B' || in.byte(1) != 'M') {
        error = "not a BMP file";
        return std::nullopt;
    }
    const uint32_t pixelsAt = in.u32(10), headerSize = in.u32(14);
    const auto width = static_cast<int32_t>(in.u32(18));
    const auto rawHeight = static_cast<int32_t>(in.u32(22));
    const uint32_t bits = in.u16(28), compression = in.u32(30), paletteUsed = in.u32(46);
    const bool topDown = rawHeight < 0;
    const int32_t height = topDown ? -rawHeight : rawHeight;
    const bool plain = compression == 0 || (compression == 3 && bits == 32);
    if (headerSize < 40 || width <= 0 || height <= 0 || width > kLargestSide ||
        height > kLargestSide || !plain ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
        error = "an unsupported BMP format";
        return std::nullopt;
    }
    const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    if (!in.has(pixelsAt, stride * static_cast<size_t>(height))) {
        error = "a BMP file cut short";
        return std::nullopt;
    }
    const size_t paletteAt = 14 + headerSize;
    const uint32_t paletteSize = bits <= 8 ? (paletteUsed ? paletteUsed : 1u << bits) : 0;
    if (bits <= 8 && (paletteSize > (1u << bits) || !in.has(paletteAt, paletteSize * 4))) {
        error = "a BMP file without its palette";
        return std::nullopt;
    }
    const auto paletteLight = [&](uint32_t index) {
        if (index >= paletteSize) return false;
        const size_t at = paletteAt + index * 4;
        return light(in.byte(at), in.byte(at + 1), in.byte(at + 2));
    };
    MonoBitmap bitmap(width, height);
    for (int32_t y = 0; y < height; ++y) {
        const size_t rowAt = pixelsAt + stride * static_cast<size_t>(topDown ? y : height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            bool white;
            if (bits <= 8) {
                const size_t bitAt = static_cast<size_t>(x) * bits;
                const uint32_t index =
                    (in.byte(rowAt + bitAt / 8) >> (8 - bits - bitAt % 8)) & ((1u << bits) - 1);
                white = paletteLight(index);
            } else {
                const size_t at = rowAt + static_cast<size_t>(x) * (bits / 8);
                white = light(in.byte(at), in.byte(at + 1), in.byte(at + 2));
            }
            bitmap.setPixel(x, y, white ? 1 : 0);
        }
    }
    return bitmap;
}

std::optional<MonoBitmap> LoadBmp(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot be read";
        return std::nullopt;
    }
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
    return DecodeBmp(file, error);
}

namespace {

void put32be(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift & 0xFF);
}

void put16le(std::ostream& out, uint32_t value) {
    out.put(static_cast<char>(value & 0xFF)).put(static_cast<char>(value >> 8 & 0xFF));
}

void put32le(std::ostream& out, uint32_t value) {
    put16le(out, value & 0xFFFF);
    put16le(out, value >> 16);
}

uint32_t crc32(const std::string& data) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (const char byte : data) c = table[(c ^ static_cast<uint8_t>(byte)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void chunk(std::ostream& out, const char* type, const std::string& data) {
    std::string body = type;
    body += data;
    std::string length;
    put32be(length, static_cast<uint32_t>(data.size()));
    std::string crc;
    put32be(crc, crc32(body));
    out << length << body << crc;
}

// A zlib stream of stored (uncompressed) blocks: a picture of 15 kB needs no more.
std::string storedZlib(const std::string& data) {
    std::string out("\x78\x01", 2);
    uint32_t a = 1, b = 0;
    for (const char byte : data) {
        a = (a + static_cast<uint8_t>(byte)) % 65521;
        b = (b + a) % 65521;
    }
    size_t at = 0;
    do {
        const size_t n = std::min<size_t>(data.size() - at, 65535);
        const bool last = at + n == data.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(n & 0xFF);
        out += static_cast<char>(n >> 8);
        out += static_cast<char>(~n & 0xFF);
        out += static_cast<char>(~n >> 8 & 0xFF);
        out.append(data, at, n);
        at += n;
    } while (at < data.size());
    put32be(out, b << 16 | a);
    return out;
}

} // namespace

void WritePng(const MonoBitmap& bitmap, std::ostream& out, uint32_t dotsPerMetre) {
    out << "\x89PNG\r\n\x1a\n";
    std::string header;
    put32be(header, static_cast<uint32_t>(bitmap.width()));
    put32be(header, static_cast<uint32_t>(bitmap.height()));
    header += std::string("\x01\x00\x00\x00\x00", 5); // 1 bit, grayscale, no interlace
    chunk(out, "IHDR", header);
    std::string resolution;
    put32be(resolution, dotsPerMetre);
    put32be(resolution, dotsPerMetre);
    resolution += '\x01'; // per metre
    chunk(out, "pHYs", resolution);
    std::string rows;
    for (int y = 0; y < bitmap.height(); ++y) {
        rows += '\0'; // no filter
        const auto bytes = bitmap.row(y);
        rows.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    chunk(out, "IDAT", storedZlib(rows));
    chunk(out, "IEND", "");
}

void WriteBmp(const MonoBitmap& bitmap, std::ostream& out, uint32_t dotsPerMetre) {
    const uint32_t stride = (static_cast<uint32_t>(bitmap.width()) + 31) / 32 * 4;
    const uint32_t pixelsAt = 14 + 40 + 8;
    const uint32_t pixelBytes = stride * static_cast<uint32_t>(bitmap.height());
    out << "BM";
    put32le(out, pixelsAt + pixelBytes);
    put32le(out, 0);
    put32le(out, pixelsAt);
    put32le(out, 40);
    put32le(out, static_cast<uint32_t>(bitmap.width()));
    put32le(out, static_cast<uint32_t>(bitmap.height()));
    put16le(out, 1);
    put16le(out, 1);
    put32le(out, 0);
    put32le(out, pixelBytes);
    put32le(out, dotsPerMetre);
    put32le(out, dotsPerMetre);
    put32le(out, 2);
    put32le(out, 2);
    put32le(out, 0x000000); // palette 0: black
    put32le(out, 0xFFFFFF); // palette 1: white
    for (int y = bitmap.height() - 1; y >= 0; --y) {
        const auto bytes = bitmap.row(y);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        for (size_t pad = bytes.size(); pad < stride; ++pad) out.put('\0');
    }
}

} // namespace qorva
