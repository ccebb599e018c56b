// Random and mutated records through every page with markings, date and time on: the
// program must not crash or hang, must leave RecBuf empty after every complete record,
// and must never send a key that is forbidden or has no use in typing.
#include "world.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace qorva;
using namespace qorva::test;

namespace {

// Keys no record may ever press in the target, written out here rather than taken from
// the program's own check: Select, Print, Execute, Print Screen, Help, both Windows keys,
// Apps, the code reserved beside them, Sleep, and F12 to F15 (the codes of "{|}~").
const std::set<int> kNeverPressed = {41, 42, 43, 44, 47, 91, 92, 93, 94, 95, 123, 124, 125, 126};

// Every key typing has a use for: Tab, Return, the modifiers, Pause and Escape; Space, the
// page and cursor keys, Insert and Delete (where printable character codes land); digits,
// the unassigned codes 58-64 and letters; the numeric pad; and the punctuation keys.
bool typingKey(int vk) {
    static const std::set<int> single = {9, 13, 16, 17, 18, 19, 27, 45, 46, 226};
    return single.count(vk) || (vk >= 32 && vk <= 40) || (vk >= 48 && vk <= 90) ||
           (vk >= 96 && vk <= 111) || (vk >= 186 && vk <= 192) || (vk >= 219 && vk <= 222);
}

struct KeyCheck : KeyboardPort {
    int sent = 0, unsafe = 0, lastUnsafe = 0;
    void sendKey(const KeyEvent& event) override {
        ++sent;
        if (kNeverPressed.count(event.vk) || !typingKey(event.vk)) ++unsafe, lastUnsafe = event.vk;
    }
};

const char* const kSeeds[] = {
    "L  95.12 a  -1.23 b   2.34",
    "C  1.10   M  1.20   Y  1.30",
    "K   1.45",
    "0.012",
    "K050%012%",
    "TCM 25%",
    "K 50%",
    "KD   0.05U",
    "KD50% 12%",
    "CD 0.05  DMD-0.02  UYD 0.01  D",
    "C   1234M    250Y    100K   2000E     25V    500",
    "X 45.678Y 50.000Z-12.5",
    "D 1234 M5% C12% K 7%",
    "%D1  1.23R",
    "PLAXEN Image 12",
    "TYM12%45678",
    "L 95.12a 1.0b",
    "%NM045.20R",
    "DA 01.452R",
    "G912.3",
    "Ch1 R1.23 d0.456",
    "C 18%50",
    "M 35K00",
    "V1.45C1.32M1.28Y0.98A",
    "V0.00C0.00M0.00Y0.00",
    "HC 12%",
    "T072 CM",
    "P045 KC",
};

// Every output flag and AUTO ticked at random, as a user may have left them.
void randomFlags(World& w, std::mt19937& random) {
    std::bernoulli_distribution tick(0.7);
    for (int n = 1; n <= OutputFlags::kHighestFlag; ++n)
        if (TCheckBox* box = w.frm.flags.box(n)) box->setChecked(tick(random));
    w.frm.flags.AutoChkbx().setChecked(tick(random));
}

std::string randomRecord(std::mt19937& random) {
    std::uniform_int_distribution<int> coin(0, 2), byte(0, 255), length(0, 300);
    std::string record;
    if (coin(random) == 0) {
        const int n = length(random);
        for (int k = 0; k < n; ++k) record += static_cast<char>(byte(random));
    } else {
        record = kSeeds[std::uniform_int_distribution<size_t>(0, std::size(kSeeds) - 1)(random)];
        const int mutations = std::uniform_int_distribution<int>(0, 4)(random);
        for (int m = 0; m < mutations && !record.empty(); ++m) {
            const size_t at = std::uniform_int_distribution<size_t>(0, record.size() - 1)(random);
            switch (coin(random)) {
            case 0:
                record[at] = static_cast<char>(byte(random));
                break;
            case 1:
                record.erase(at, 1);
                break;
            default:
                record.insert(at, 1, static_cast<char>(byte(random)));
                break;
            }
        }
    }
    return record + (coin(random) ? "\r\n" : "\n");
}

struct FuzzWorld : World {
    KeyCheck check;
    FuzzWorld() {
        keyboard.add(check);
        frm.Datumaus.setChecked(true);
        frm.Zeitaus.setChecked(true);
    }
};

const char* const kPages[] = {"Blatt1", "Blatt2",     "Blatt3",  "Blatt4",
                              "Blatt5", "VARNIKPage", "LUMAPage"};

} // namespace

TEST(FuzzRecords, TestrcvOnEveryPageKeepsItsPromises) {
    std::mt19937 random(20261210);
    for (const char* page : kPages) {
        FuzzWorld w;
        onPage(w, page);
        for (int k = 0; k < 1500; ++k) {
            if (k % 25 == 0) randomFlags(w, random);
            w.frm.Ausgabeart.setItemIndex(k % 4);
            w.frm.Notation.setItemIndex(k % 3);
            const std::string record = randomRecord(random);
            w.frm.parsers.Testrcv(nullptr, record.data(), static_cast<int>(record.size()));
            const std::string& recBuf = w.frm.parseState.RecBuf;
            ASSERT_TRUE(recBuf.empty() || recBuf == " ") << page << ": " << record;
            w.frm.parsers.typeQueuedLine(w.frm.VARNIKPage, record);
            w.frm.parsers.typeQueuedLine(w.frm.LUMAPage, record);
            ASSERT_EQ(w.check.unsafe, 0)
                << page << " sent key " << w.check.lastUnsafe << " for " << record;
        }
        EXPECT_EQ(w.frm.Ausgabeart.ItemIndex(), 1499 % 4);
    }
}

TEST(FuzzRecords, TheWholePipelineKeepsMoving) {
    std::mt19937 random(7);
    for (const char* page : kPages) {
        FuzzWorld w;
        onPage(w, page);
        w.frm.Button3.Click();
        std::string stream;
        for (int k = 0; k < 300; ++k) stream += randomRecord(random);
        for (size_t offset = 0; offset < stream.size(); offset += 97) {
            const std::string piece = stream.substr(offset, 97);
            w.deliver(piece);
            w.loop.runUntil(w.loop.now() + 30);
        }
        for (int ticks = 0;
             ticks < 100000 && !(w.frm.pipeline.RSBUF.empty() && w.frm.pipeline.semaphore); ++ticks)
            w.loop.runUntil(w.loop.now() + 100);
        EXPECT_TRUE(w.frm.pipeline.RSBUF.empty()) << page;
        if (std::string(page) != "Blatt4") {
            EXPECT_GT(w.check.sent, 0) << page;
        }
        EXPECT_EQ(w.check.unsafe, 0) << page;
        EXPECT_EQ(w.frm.pipeline.droppedRecords(), 0) << page;
        const std::string& recBuf = w.frm.parseState.RecBuf;
        EXPECT_TRUE(recBuf.empty() || recBuf == " ") << page << ": " << recBuf;
    }
}

namespace {

// A plate reader's stream: its lines, pictures whole, cut short or with a random header,
// and random bytes, mutated and cut into random deliveries.
std::string plateReaderPiece(std::mt19937& random) {
    std::uniform_int_distribution<int> kind(0, 5), byte(0, 255), length(0, 14000);
    std::string piece;
    switch (kind(random)) {
    case 0:
        piece = "PLAXEN 1024-7\r\n";
        break;
    case 1:
        piece = "%D  045.20\r\n\xC9R  012.5050.00\r\n%L   60.00L/cm\r\n";
        break;
    case 2:
    case 3: {
        piece = kind(random) % 2 ? "Zintoka 3 Image\r\n" : "NOVIR Image";
        const int bytes = length(random);
        for (int k = 0; k < bytes; ++k) piece += static_cast<char>(byte(random));
        piece += "End Image\r\n";
        break;
    }
    default: {
        const int bytes = length(random) / 20;
        for (int k = 0; k < bytes; ++k) piece += static_cast<char>(byte(random));
    }
    }
    const int mutations = std::uniform_int_distribution<int>(0, 3)(random);
    for (int m = 0; m < mutations && !piece.empty(); ++m)
        piece[std::uniform_int_distribution<size_t>(0, piece.size() - 1)(random)] =
            static_cast<char>(byte(random));
    return piece;
}

} // namespace

TEST(FuzzRecords, PlateReaderPageTakesAnyBytes) {
    std::mt19937 random(41);
    FuzzWorld w;
    onPage(w, "Blatt4");
    w.frm.Button3.Click();
    std::string stream;
    for (int k = 0; k < 400; ++k) stream += plateReaderPiece(random);
    for (size_t offset = 0; offset < stream.size();) {
        const size_t n = std::uniform_int_distribution<size_t>(1, 3000)(random);
        w.deliver(stream.substr(offset, n));
        offset += n;
        if (offset / 3000 % 7 == 0) randomFlags(w, random);
        w.frm.Ausgabeart.setItemIndex(static_cast<int>(offset % 4));
        w.frm.CTRLV.setChecked(offset % 2);
        w.loop.runUntil(w.loop.now() + 100);
    }
    for (int ticks = 0; ticks < 2000; ++ticks) w.loop.runUntil(w.loop.now() + 100);
    EXPECT_GT(w.check.sent, 0);
    EXPECT_GT(w.clipboard.pictures(), 0);
    EXPECT_EQ(w.check.unsafe, 0) << "key " << w.check.lastUnsafe;
    EXPECT_EQ(w.frm.pipeline.droppedRecords(), 0);
    // What is left can begin no more than one line or picture.
    EXPECT_LT(w.frm.parseState.RSbuffer.size(), 14000u + 16000u);
}
