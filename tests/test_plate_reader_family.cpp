// The plate readers of page Blatt4 through the replay path: bytes delivered to the
// program in virtual time, typed into the sheet preview and the trace, pictures taken
// from the clipboard.
#include "parsers/plate_picture.h"
#include "world.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace qorva;
using namespace qorva::test;

namespace {

// Remembers the captions it is asked to draw.
struct CaptionSpy : CaptionFont {
    mutable std::vector<std::string> captions;
    void drawCaption(MonoBitmap&, const std::string& text) const override {
        captions.push_back(text);
    }
};

MemoryWorldSettings plateSettings(const CaptionFont* font, LocalDateTime now = {}) {
    MemoryWorldSettings settings = traced(now, "dd.MM.yyyy", "HH:mm:ss");
    settings.captionFont = font;
    return settings;
}

struct PlateWorld : MemoryProgram {
    CaptionSpy font;
    explicit PlateWorld(LocalDateTime now = {}) : MemoryProgram(plateSettings(&font, now)) {
        frm.Manufacturer.setActivePageIndex(1);
        frm.densito.setFromText("Blatt4");
        frm.Button3.Click();
    }
    // Each piece is delivered, then the parse ticks run for the time given.
    void send(const std::vector<std::string>& pieces, int msAfterEach = 1000) {
        for (const auto& piece : pieces) {
            deliver(piece);
            loop.runUntil(loop.now() + msAfterEach);
        }
    }
    std::string typed(const std::string& bytes) {
        send({bytes});
        return grid();
    }
};

// A picture as the instrument sends it: the header, then 35 bands, each a lead byte and
// 384 column bytes (bit n of a column byte is row n of the band, set for black), then
// the trailer.
using Pattern = std::function<bool(int x, int row)>;

std::string bandBytes(const Pattern& black, int bands = PlatePicture::kBands) {
    std::string bytes;
    for (int band = 0; band < bands; ++band) {
        bytes += '\x1B';
        for (int x = 0; x < PlatePicture::kWidth; ++x) {
            unsigned char column = 0;
            for (int n = 0; n < 8; ++n)
                if (black(x, band * 8 + n)) column |= static_cast<unsigned char>(1 << n);
            bytes += static_cast<char>(column);
        }
    }
    return bytes;
}

std::string picture(const std::string& header, const Pattern& black,
                    int bands = PlatePicture::kBands) {
    return header + "\r\n" + bandBytes(black, bands) + "\r\nEnd Image\r\n";
}

const Pattern kChecks = [](int x, int row) { return (x / 8 + row / 8) % 2 == 0; };
const Pattern kDiagonal = [](int x, int row) { return x == row || x == 383 - row; };

// Every picture row of the bitmap against the pattern, and the caption strip white.
std::string differences(const MonoBitmap& bitmap, const Pattern& black, int rows = 280) {
    if (bitmap.width() != 384 || bitmap.height() != 296) return "not 384 x 296";
    for (int y = 0; y < 296; ++y)
        for (int x = 0; x < 384; ++x) {
            const bool inPicture = y >= 16 && y - 16 < rows;
            const int expected = inPicture && black(x, y - 16) ? 0 : 1;
            if (bitmap.pixel(x, y) != expected)
                return "pixel " + std::to_string(x) + "," + std::to_string(y);
        }
    return "";
}

} // namespace

TEST(PlateReaderFamily, IdentificationLinesFollowSerialNumberFlag) {
    {
        PlateWorld w;
        EXPECT_EQ(w.typed("PLAXEN 4711-b\r\nNOVIR 12\r\n"), "PLAXEN 4711-b\nNOVIR 12\n");
    }
    {
        PlateWorld w;
        w.frm.flags.box(47)->setChecked(false);
        EXPECT_EQ(w.typed("Zintoka 99\r\n%D  045.20\r\n"), "DOTD,  045.20\n");
        EXPECT_EQ(w.frm.parseState.RSbuffer, "");
    }
}

TEST(PlateReaderFamily, DotValueLinesWithEachOption) {
    const std::string shortLine = "%D  045.20\r\n", longLine = "\xC9R  012.5050.00\r\n";
    const struct {
        const char* name;
        std::vector<int> off;
        std::string grid;
    } rows[] = {
        {"all on", {}, "DOTD,  045.20\nDOTR,  012.50,REF,50.00\n"},
        {"no reference", {55}, "DOTD,  045.20\nDOTR,  012.50\n"},
        {"no marking", {56}, "  045.20\n  012.50,50.00\n"},
        {"neither", {55, 56}, "  045.20\n  012.50\n"},
    };
    for (const auto& row : rows) {
        PlateWorld w;
        for (int n : row.off) w.frm.flags.box(n)->setChecked(false);
        EXPECT_EQ(w.typed(shortLine + longLine), row.grid) << row.name;
    }
}

TEST(PlateReaderFamily, DateAndTimeFollowTheLastValueAndTheCursorReturns) {
    PlateWorld w(LocalDateTime{2026, 12, 10, 8, 5, 9});
    w.frm.Datumaus.setChecked(true);
    w.frm.Zeitaus.setChecked(true);
    EXPECT_EQ(w.typed("%D  045.20\r\n%R  012.5050.00\r\n%D  1.5\r\n"),
              "DOTD,  045.20,10.12.2026,08:05:09\n"
              "DOTR,  012.50,REF,50.00,10.12.2026,08:05:09\n"
              // CR within the 8 value characters: typed as a blank, as the instrument's
              // rule gives it.
              "DOTD,  1.5  ,10.12.2026,08:05:09\n");
}

// Lines are taken in the order they arrive, whatever their kind.
TEST(PlateReaderFamily, LinesArrivingTogetherAreTypedInTheirOrder) {
    const struct {
        const char* name;
        std::string bytes, grid;
    } rows[] = {
        {"a dot value line before an identification line", "%D  045.20\r\nPLAXEN 1\r\n",
         "DOTD,  045.20\nPLAXEN 1\n"},
        {"an \xC9 line before a % line", "\xC9R  012.00\r\n%D  045.20\r\n",
         "DOTR,  012.00\nDOTD,  045.20\n"},
        {"noise in front is dropped", "\x01\xFFxx%D  045.20\r\n", "DOTD,  045.20\n"},
        {"a lead character whose line runs into an identification line", "%x\x02PLAXEN 7\r\n",
         "PLAXEN 7\n"},
    };
    for (const auto& row : rows) {
        PlateWorld w;
        EXPECT_EQ(w.typed(row.bytes), row.grid) << row.name;
        EXPECT_EQ(w.frm.parseState.RSbuffer, "") << row.name;
    }
}

TEST(PlateReaderFamily, RulingLinesEndAtLPerCm) {
    PlateWorld w;
    // The rest of the ruling line ("cm" and its line end) goes with the next line.
    EXPECT_EQ(w.typed("%L  60.00 L/cm\r\n%D  045.20\r\n"), "DOTL,  60.00 \nDOTD,  045.20\n");
    PlateWorld open;
    EXPECT_EQ(open.typed("%L  60.00 L/cm"), "DOTL,  60.00 \n");
    EXPECT_EQ(open.frm.parseState.RSbuffer, "cm");
}

TEST(PlateReaderFamily, IncompleteLinesWaitAndOverlongOnesBlockNothing) {
    PlateWorld w;
    w.send({"PLAXEN 12", "34\r", "\n%D  045", ".20\r", "\n"}, 150);
    EXPECT_EQ(w.grid(), "PLAXEN 1234\nDOTD,  045.20\n");

    // A line end beyond 40 characters from the identifier: the identifier begins no
    // line, and the next lines are typed.
    PlateWorld overlong;
    EXPECT_EQ(overlong.typed("PLAXEN " + std::string(40, '1') + "\r\n%D  045.20\r\nNOVIR 3\r\n"),
              "DOTD,  045.20\nNOVIR 3\n");

    // Bytes that begin no line are not kept beyond the start of an identifier.
    PlateWorld noise;
    noise.typed(std::string(5000, 'x') + "PLAX");
    EXPECT_EQ(noise.frm.parseState.RSbuffer, "xxPLAX");
    EXPECT_EQ(noise.typed("EN 5\r\n"), "PLAXEN 5\n");
}

TEST(PlateReaderFamily, APictureIsDecodedPastedAndTheLinesAroundItKept) {
    for (bool ctrlV : {false, true}) {
        PlateWorld w;
        w.frm.CTRLV.setChecked(ctrlV);
        // The line behind the picture arrives in the same delivery and is kept.
        w.deliver("%D  045.20\r\n" + picture("PLAXEN 4711 Image", kChecks) + "NOVIR 2\r\n");
        w.takeTrace();
        w.loop.runUntil(w.loop.now() + 2000);
        EXPECT_EQ(w.clipboard.pictures(), 1);
        EXPECT_EQ(differences(w.clipboard.last(), kChecks), "");
        ASSERT_EQ(w.font.captions.size(), 1u);
        EXPECT_EQ(w.font.captions[0], "PLAXEN 4711 ");
        EXPECT_EQ(w.frm.StatusBar1.SimpleText(), "Image transmission in terminated");
        EXPECT_EQ(w.grid(), "DOTD,  045.20\n[picture 384x296]\nNOVIR 2\n");
        const std::string paste = ctrlV ? down(17, 0x1D) + "; " + tap('V') + "; " + up(17, 0x1D)
                                        : down(16, 0x2A) + "; " + tap(45) + "; " + up(16, 0x2A);
        const std::string trace = w.takeTrace();
        EXPECT_NE(trace.find("clipboard 384x296; " + paste + "; " + down(27, 1) + "; " + tap(40) +
                             "; " + wait10()),
                  std::string::npos)
            << trace;
    }
}

TEST(PlateReaderFamily, PictureBytesAreTakenAsTheyCome) {
    // Split over many deliveries and ticks, with a header behind other text.
    const std::string bytes = "junk" + picture("Zintoka 8 Image", kDiagonal);
    std::vector<std::string> pieces;
    for (size_t at = 0; at < bytes.size(); at += 700) pieces.push_back(bytes.substr(at, 700));
    PlateWorld w;
    w.send(pieces, 60);
    w.loop.runUntil(w.loop.now() + 500);
    EXPECT_EQ(w.clipboard.pictures(), 1);
    EXPECT_EQ(differences(w.clipboard.last(), kDiagonal), "");
    EXPECT_EQ(w.font.captions, std::vector<std::string>{"Zintoka 8 "});
    EXPECT_EQ(w.frm.parseState.RSbuffer, "");
}

TEST(PlateReaderFamily, SourceCodesZeroAndAllOnesAndAShortPicture) {
    PlateWorld w;
    std::string bands = bandBytes([](int, int) { return false; }, 2);
    bands.replace(1, 1, "\xFF"); // column 0 of band 0: every row black
    w.typed("PLAXEN Image\r\n" + bands + "End Image\r\n");
    ASSERT_EQ(w.clipboard.pictures(), 1);
    const MonoBitmap& bitmap = w.clipboard.last();
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(bitmap.pixel(0, 16 + row), 0) << row;
        EXPECT_EQ(bitmap.pixel(1, 16 + row), 1) << row;
    }
    EXPECT_EQ(differences(bitmap, [](int x, int row) { return x == 0 && row < 8; }), "");
}

TEST(PlateReaderFamily, ALineBesideTheHeaderIsNoCaption) {
    PlateWorld w;
    // "Image" only counts inside the header's own line.
    w.typed("PLAXEN 1\r\nPLAXEN Image\r\n" + bandBytes(kChecks) + "End Image\r\n");
    EXPECT_EQ(w.font.captions, std::vector<std::string>{"PLAXEN "});
    EXPECT_EQ(w.grid(), "PLAXEN 1\n[picture 384x296]\n");
}

TEST(PlateReaderFamily, TheCaptionCarriesDateAndTime) {
    PlateWorld w(LocalDateTime{2026, 12, 10, 8, 5, 9});
    w.frm.Datumaus.setChecked(true);
    w.frm.Zeitaus.setChecked(true);
    w.typed(picture("PLAXEN 12 Image", kChecks));
    EXPECT_EQ(w.font.captions, std::vector<std::string>{"PLAXEN 12    10.12.2026   08:05:09"});
}

TEST(PlateReaderFamily, WithoutATemplateNothingIsPastedAndTheLinesGoOn) {
    MemoryWorldSettings settings = traced({}, "dd.MM.yyyy", "HH:mm:ss");
    settings.pictureTemplates = {"/no/such/empty.bmp"};
    MemoryProgram w(settings);
    std::vector<std::string> faults;
    w.frm.faults.setSink([&](const std::string& m) { faults.push_back(m); });
    w.frm.Manufacturer.setActivePageIndex(1);
    w.frm.densito.setFromText("Blatt4");
    w.frm.Button3.Click();
    const std::string image = picture("PLAXEN Image", kChecks);
    w.deliver(image + "%D  045.20\r\n" + image);
    w.loop.runUntil(w.loop.now() + 2000);
    EXPECT_EQ(w.clipboard.pictures(), 0);
    EXPECT_EQ(w.grid(), "DOTD,  045.20\n");
    EXPECT_TRUE(w.frm.pipeline.semaphore);
    EXPECT_EQ(w.frm.StatusBar1.SimpleText(), "Error: picture not pasted: empty.bmp is missing");
    EXPECT_EQ(faults,
              std::vector<std::string>{"plate-reader picture not pasted: empty.bmp is missing"});
}
