// The plate reader's pictures end to end on the build's programs: the simulator's
// pictures, replayed with --images, read back with Qt's own PNG reader.
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// The simulator's test pattern, black where true: a frame, both diagonals and a
// checkerboard of 32-pixel squares in the top left quarter.
bool simulatorPattern(int x, int row) {
    const bool frame = x < 2 || x > 381 || row < 2 || row > 277;
    const bool diagonal = x * 280 / 384 == row || (383 - x) * 280 / 384 == row;
    const bool checks = x < 192 && row < 140 && (x / 32 + row / 32) % 2 == 0;
    return frame || diagonal || checks;
}

int run(const std::string& command) {
    return std::system(command.c_str());
}

bool black(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

} // namespace

TEST(QtPictures, SimulatorPicturesReplayPixelForPixel) {
    const std::string dir = testing::TempDir() + "qt-pictures";
    const std::string session = dir + "-session.bin";
    std::ofstream{session};
    ASSERT_EQ(run(std::string(QORVA_SIM) + " --family plate --device " + session +
                  " --interval 0 --hold 0 --count 10"),
              0);
    ASSERT_EQ(run("rm -rf " + dir), 0);
    ASSERT_EQ(run(std::string(QORVA_REPLAY) +
                  " --set Manufacturer=ThirdParty --set densito=Blatt4 --set Datumaus=1"
                  " --grid /dev/null --images " +
                  dir + " " + session),
              0);
    for (const char* name : {"/picture-0001.png", "/picture-0002.png"}) {
        QImage image(QString::fromStdString(dir + name));
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_EQ(image.width(), 384);
        EXPECT_EQ(image.height(), 296);
        EXPECT_EQ(image.depth(), 1);
        EXPECT_EQ(image.dotsPerMeterX(), 3780);
        int wrong = 0, captionInk = 0;
        for (int y = 0; y < 296; ++y)
            for (int x = 0; x < 384; ++x) {
                if (y < 16)
                    captionInk += black(image, x, y);
                else
                    wrong += black(image, x, y) != simulatorPattern(x, y - 16);
            }
        EXPECT_EQ(wrong, 0) << name;
        // "PLAXEN 1024-7", three blanks and the date, drawn in the strip above the picture.
        EXPECT_GT(captionInk, 100) << name;
        bool inkBeyondCaption = false;
        for (int y = 0; y < 16; ++y)
            for (int x = 300; x < 384; ++x) inkBeyondCaption |= black(image, x, y);
        EXPECT_FALSE(inkBeyondCaption) << name;
    }
    EXPECT_FALSE(std::ifstream(dir + "/picture-0003.png")) << "only two pictures were sent";
}
