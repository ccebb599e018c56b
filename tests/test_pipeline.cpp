#include "world.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace qorva;
using qorva::test::World;

namespace {

// Records what the dispatch hands to the parsers; can type a move or throw.
struct SpyParsers : Parsers {
    using Parsers::Parsers;
    std::vector<std::string> calls;
    bool throwOnRecord = false;
    int movesPerRecord = 0;

    void Testrcv(const TControl*, const char* DataPtr, int DataSize) override {
        handle("T:" + std::string(DataPtr, static_cast<size_t>(DataSize)));
    }
    void typeQueuedLine(const TTabSheet& page, const std::string& record) override {
        handle((page.Name() == "VARNIKPage" ? "C:" : "X:") + record);
    }
    void ProcessPlateReader() override { calls.push_back("P"); }

    void handle(const std::string& call) {
        calls.push_back(call);
        if (throwOnRecord) throw std::runtime_error("malformed");
        ctx_.keys.down(movesPerRecord);
    }
};

struct PipelineWorld : World {
    SpyParsers spy{frm.parserContext()};
    PipelineWorld() {
        frm.pipeline.setParsers(spy);
        frm.Button3.Click();
    }
    std::vector<std::string> memo() const { return frm.RSMemo.Lines(); }
};

} // namespace

TEST(LineAssembly, SplitDeliveriesBuildOneRecord) {
    PipelineWorld w;
    w.deliver("AB");
    EXPECT_EQ(w.memo().back(), "AB");
    w.deliver("CD\r");
    EXPECT_EQ(w.memo().back(), "ABCD\r");
    w.deliver("\n");
    ASSERT_EQ(w.frm.pipeline.RSBUF.size(), 1u);
    EXPECT_EQ(w.frm.pipeline.RSBUF.front(), "ABCD\r\n");
    EXPECT_EQ(w.frm.pipeline.Fs, "");
    EXPECT_EQ(w.memo(), (std::vector<std::string>{"ABCD\r\n", ""}));
}

TEST(LineAssembly, FiltersBytesAndAppliesTheLengthRule) {
    struct Case {
        std::string bytes;
        std::vector<std::string> queued;
    } cases[] = {
        {"ABCD\r\n", {"ABCD\r\n"}},
        {"ABC\r\n", {}},
        {"ABCD\n", {}},
        {std::string("AB\0C\xff"
                     "DE\r\n",
                     9),
         {"ABCDE\r\n"}},
        {"LINE1\r\nLINE2\r\n", {"LINE1\r\n", "LINE2\r\n"}},
        {std::string(253, 'x') + "\r\n", {std::string(253, 'x') + "\r\n"}},
        {std::string(254, 'x') + "\r\n", {}}, // no instrument sends it; it stays in the monitor
    };
    for (const auto& c : cases) {
        PipelineWorld w;
        w.deliver(c.bytes);
        EXPECT_EQ(
            std::vector<std::string>(w.frm.pipeline.RSBUF.begin(), w.frm.pipeline.RSBUF.end()),
            c.queued)
            << c.bytes;
    }
}

TEST(LineAssembly, QueuesOnlyWhileRunningAndNotOnThePlateReaderPage) {
    PipelineWorld w;
    w.frm.Button4.Click();
    w.deliver("IDLE1\r\n");
    EXPECT_TRUE(w.frm.pipeline.RSBUF.empty());
    EXPECT_EQ(w.memo()[w.memo().size() - 2], "IDLE1\r\n");

    w.frm.Button3.Click();
    w.frm.densito.setActivePageIndex(3); // remembered while the maker's sheet is active
    w.deliver("MAKER\r\n");
    EXPECT_EQ(w.frm.pipeline.RSBUF.size(), 1u);

    w.frm.Manufacturer.setActivePageIndex(1);
    w.frm.parseState.RSbuffer.clear();
    w.deliver(std::string("PL\0\xff\n", 5));
    EXPECT_EQ(w.frm.pipeline.RSBUF.size(), 1u);
    EXPECT_EQ(w.frm.parseState.RSbuffer, std::string("PL\0\xff\n", 5));

    w.loop.runUntil(100); // the first tick there discards what was queued before
    EXPECT_TRUE(w.frm.pipeline.RSBUF.empty());
    EXPECT_EQ(w.spy.calls, std::vector<std::string>{"P"});
}

TEST(LineAssembly, ClearedMonitorGetsTheLineInProgressBack) {
    PipelineWorld w;
    w.deliver("HALF");
    w.frm.RSMemo.clear();
    w.deliver("LINE");
    EXPECT_EQ(w.memo(), std::vector<std::string>{"HALFLINE"});
    w.deliver("\r\n");
    EXPECT_EQ(w.frm.pipeline.RSBUF.front(), "HALFLINE\r\n");
}

TEST(Dispatch, OneRecordPerTickToTheActivePagesParser) {
    PipelineWorld w;
    w.deliver("REC-1\r\nREC-2\r\n");
    w.loop.runUntil(100);
    EXPECT_EQ(w.spy.calls, std::vector<std::string>{"C:REC-1\r\n"});
    w.frm.TALMOPages.setActivePageIndex(1);
    w.loop.runUntil(200);
    w.deliver("REC-3\r\n");
    w.frm.Manufacturer.setActivePageIndex(1);
    w.loop.runUntil(300);
    w.loop.runUntil(400);
    EXPECT_EQ(w.spy.calls,
              (std::vector<std::string>{"C:REC-1\r\n", "X:REC-2\r\n", "T:REC-3\r\n", "P"}));
    EXPECT_EQ(w.frm.parseState.RSbuffer, "");
}

TEST(Dispatch, ParseGuardHoldsDuringNestedWaitsAndStopKeepsTheQueue) {
    PipelineWorld w;
    w.spy.movesPerRecord = 30; // 300 ms of waits: ticks arrive inside the parse
    w.deliver("REC-1\r\nREC-2\r\n");
    w.frm.Button4.Click();
    w.loop.runUntil(100);
    EXPECT_EQ(w.spy.calls.size(), 1u) << "a tick during a parse must return at once";
    EXPECT_EQ(w.frm.pipeline.RSBUF.size(), 1u);
    w.loop.runUntil(1000);
    EXPECT_EQ(w.spy.calls.size(), 2u) << "records queued before STOP are still typed";
    EXPECT_TRUE(w.frm.pipeline.semaphore);
}

TEST(Dispatch, AThrowingParserFreesTheGuardAndDropsTheRecord) {
    PipelineWorld w;
    std::vector<std::string> reports;
    w.frm.faults.setSink([&](const std::string& message) { reports.push_back(message); });
    w.spy.throwOnRecord = true;
    w.deliver("BAD-1\r\nBAD-2\r\n");
    w.loop.runUntil(200);
    EXPECT_EQ(w.spy.calls, (std::vector<std::string>{"C:BAD-1\r\n", "C:BAD-2\r\n"}));
    EXPECT_TRUE(w.frm.pipeline.semaphore);
    EXPECT_TRUE(w.frm.pipeline.RSBUF.empty());
    EXPECT_EQ(w.frm.pipeline.droppedRecords(), 2);
    EXPECT_EQ(reports, (std::vector<std::string>{
                           "record dropped after a parser fault (malformed): BAD-1\\r\\n",
                           "record dropped after a parser fault (malformed): BAD-2\\r\\n"}));
}

TEST(Dispatch, StartEmptiesTheQueueAndAddsAMonitorLine) {
    PipelineWorld w;
    w.deliver("REC-1\r\n");
    const size_t lines = w.memo().size();
    w.frm.Button4.Click();
    w.frm.Button3.Click();
    EXPECT_TRUE(w.frm.pipeline.RSBUF.empty());
    EXPECT_EQ(w.memo().size(), lines + 1);
    EXPECT_TRUE(w.frm.running());
}

TEST(Watchdog, DiscardsAStaleZeroReadingOnly) {
    struct Case {
        std::string recBuf;
        int ticksUntilEmpty; // 0: never emptied
    } cases[] = {{"00.0", 3}, {"00.1", 0}, {"0", 0}, {"", 0}};
    for (const auto& c : cases) {
        World w;
        w.frm.parseState.RecBuf = c.recBuf;
        int emptiedAt = 0;
        for (int tick = 1; tick <= 5 && !emptiedAt; ++tick) {
            w.loop.runUntil(3000 * tick);
            if (w.frm.parseState.RecBuf.empty() && !c.recBuf.empty()) emptiedAt = tick;
        }
        EXPECT_EQ(emptiedAt, c.ticksUntilEmpty) << c.recBuf;
    }
}

TEST(Watchdog, ResynchronisesTheMonitorWithTheLineInProgress) {
    World w;
    w.deliver("PART");
    w.frm.RSMemo.setLastLine("edited");
    w.frm.parseState.RecBuf = "stuck";
    w.loop.runUntil(6000);
    EXPECT_EQ(w.frm.RSMemo.Lines().back(), "PART");
}

TEST(Pages, EnteringADevicePageEmptiesTheRawBuffer) {
    World w;
    w.frm.densito.setActivePageIndex(3);
    EXPECT_EQ(w.frm.parseState.RSbuffer, "");
    w.deliver("xyz");
    EXPECT_EQ(w.frm.parseState.RSbuffer, "xyz");
    w.frm.densito.setActivePageIndex(0);
    EXPECT_EQ(w.frm.parseState.RSbuffer, "");
}

namespace {

// Ten density records sent at once, typed with and without bursts; STOP after the first
// record when asked. Returns the sheet and the virtual time the queue was done.
std::pair<std::string, int64_t> typeTenAtOnce(bool burst, bool stopAfterFirst) {
    World w;
    onPage(w, "Blatt5");
    w.frm.Burst.setChecked(burst);
    w.frm.Button3.Click();
    std::string records;
    for (int k = 0; k < 10; ++k) records += "K   1.4" + std::to_string(k) + "\r\n";
    w.deliver(records);
    if (stopAfterFirst) {
        while (w.frm.pipeline.RSBUF.size() == 10) w.loop.runUntil(w.loop.now() + 1);
        w.frm.Button4.Click();
    }
    while (!w.frm.pipeline.RSBUF.empty() || !w.frm.pipeline.semaphore)
        w.loop.runUntil(w.loop.now() + 1);
    return {w.grid(), w.loop.now()};
}

} // namespace

TEST(Dispatch, ABurstTakesTheNextRecordAsSoonAsTheLastIsTyped) {
    for (const bool stop : {false, true}) {
        const auto [paced, pacedDone] = typeTenAtOnce(false, stop);
        const auto [burst, burstDone] = typeTenAtOnce(true, stop);
        EXPECT_EQ(burst, paced) << "the same cells, only sooner";
        EXPECT_GE(pacedDone, 1000) << "one record per 100 ms tick";
        // Each record's three moves wait 10 ms; the first waits for its tick.
        EXPECT_LE(burstDone, 100 + 10 * 30 + 10) << stop;
    }
}

TEST(Dispatch, NoBurstOnThePlateReaderPage) {
    World w;
    onPage(w, "Blatt4");
    w.frm.Burst.setChecked(true);
    w.frm.Button3.Click();
    w.deliver("K   1.45\r\nK   1.46\r\n");
    w.loop.runUntil(1000);
    EXPECT_FALSE(w.loop.hasPendingPosts());
    EXPECT_EQ(w.grid(), "");
}

TEST(LineAssembly, ALineWithoutEndIsCutAndTheMonitorKeepsItsLimit) {
    PipelineWorld w;
    const size_t max = RecordPipeline::kMaxLineLength;
    const std::string chunk(300, 'x');
    for (int k = 0; k < 10; ++k) w.deliver(chunk);
    EXPECT_EQ(w.memo().back(), std::string(max, 'x') + RecordPipeline::kCutMarker);
    EXPECT_EQ(w.frm.pipeline.cutLines(), 1);
    w.deliver("x\r\nK   1.45\r\n");
    EXPECT_EQ(w.frm.pipeline.cutLines(), 1);
    EXPECT_EQ(w.frm.pipeline.RSBUF, std::deque<std::string>{"K   1.45\r\n"})
        << "the next line is whole";

    w.frm.pipeline.setMonitorLineLimit(100);
    for (int k = 0; k < 1000; ++k) w.deliver("L" + std::to_string(k) + "\r\n");
    EXPECT_LE(w.memo().size(), 111u);
    EXPECT_GE(w.memo().size(), 100u);
    EXPECT_EQ(w.memo()[w.memo().size() - 2], "L999\r\n") << "the newest lines stay";
}
