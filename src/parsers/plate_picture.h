#pragma once
// The plate reader's picture: 35 bands of 385 characters, each character 8 stacked pixels
// of one column (bit n is row n of the band), drawn below a caption strip of 16 rows.
#include "platform/mono_bitmap.h"
#include "platform/record_text.h"

namespace qorva {

struct PlatePicture {
    static constexpr int kWidth = 384, kRows = 280;
    static constexpr int kBands = 35, kBandCharacters = 385;
    static constexpr int kCaptionRows = 16;
    // The template the picture is drawn on must hold the caption strip and the picture.
    static constexpr int kTemplateWidth = kWidth, kTemplateHeight = kCaptionRows + kRows;
    static constexpr int kSourceCharacters = kBands * kBandCharacters;
};

// Writes the picture rows of bitmap (rows 16 to 295, the first 48 bytes of each) from
// source, whose first character is the picture's first: a set bit is black, a clear bit
// white. Characters past the end of source are read as all bits clear, so a short picture
// leaves the rest white; nothing is read or written outside source and bitmap.
void DecodePlatePicture(const RecordText& source, MonoBitmap& bitmap);

} // namespace qorva
