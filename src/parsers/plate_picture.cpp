#include "parsers/plate_picture.h"

#include <algorithm>

namespace qorva {

void DecodePlatePicture(const RecordText& source, MonoBitmap& bitmap) {
    const size_t available = source.size();
    for (int r = 0; r < PlatePicture::kRows; ++r) {
        const auto row = bitmap.row(r + PlatePicture::kCaptionRows);
        const size_t bytes = std::min<size_t>(row.size(), PlatePicture::kWidth / 8);
        const size_t band = static_cast<size_t>(r / 8) * PlatePicture::kBandCharacters;
        const int bit = r % 8;
        for (size_t x = 0; x < bytes; ++x) {
            uint8_t byte = 0;
            for (int j = 0; j < 8; ++j) {
                const size_t at = band + 8 * x + static_cast<size_t>(j);
                const auto code = at < available ? static_cast<unsigned char>(source[at]) : 0;
                if (!(code >> bit & 1)) byte |= static_cast<uint8_t>(0x80 >> j);
            }
            row[x] = byte;
        }
    }
}

} // namespace qorva
