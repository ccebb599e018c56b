#include "platform/controls.h"
#include "shell/control_assignment.h"
#include "world.h"

#include <gtest/gtest.h>

#include <utility>

using namespace qorva;

namespace {

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& item : items) out += (out.empty() ? "" : "|") + item;
    return out;
}

// The state a view would show for a change, read from the control when it is told.
std::string shown(const TControl& c, ControlProperty property) {
    const auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    const auto* memo = dynamic_cast<const TMemo*>(&c);
    const auto* combo = dynamic_cast<const TComboBox*>(&c);
    const auto* group = dynamic_cast<const TRadioGroup*>(&c);
    switch (property) {
    case ControlProperty::Caption:
        return "Caption=" + c.Caption();
    case ControlProperty::Hint:
        return "Hint=" + c.Hint();
    case ControlProperty::Enabled:
        return "Enabled=" + flag(c.Enabled());
    case ControlProperty::Visible:
        return "Visible=" + flag(c.Visible());
    case ControlProperty::Checked:
        if (const auto* box = dynamic_cast<const TCheckBox*>(&c))
            return "Checked=" + flag(box->Checked());
        return "Checked=" + flag(dynamic_cast<const TRadioButton&>(c).Checked());
    case ControlProperty::Items:
        if (group) return "Items=" + joined(group->Items());
        if (combo) return "Items=" + joined(combo->Items());
        return "Items=" + joined(dynamic_cast<const TListBox&>(c).Items());
    case ControlProperty::ItemIndex:
        return "ItemIndex=" + std::to_string(group ? group->ItemIndex() : combo->ItemIndex());
    case ControlProperty::Text:
        return "Text=" + (combo ? combo->Text() : dynamic_cast<const TEdit&>(c).Text());
    case ControlProperty::ReadOnly:
        return "ReadOnly=" + flag(dynamic_cast<const TEdit&>(c).ReadOnly());
    case ControlProperty::SimpleText:
        return "SimpleText=" + dynamic_cast<const TStatusBar&>(c).SimpleText();
    case ControlProperty::ActivePage:
        return "ActivePage=" + dynamic_cast<const TPageControl&>(c).ActivePage()->Name();
    case ControlProperty::LineAppended:
        return "LineAppended=" + memo->Lines().back();
    case ControlProperty::LastLineChanged:
        return "LastLineChanged=" + memo->Lines().back();
    case ControlProperty::LastLineRemoved:
        return "LastLineRemoved=" + std::to_string(memo->Lines().size());
    case ControlProperty::FirstLinesRemoved:
        return "FirstLinesRemoved=" + std::to_string(memo->Lines().size());
    case ControlProperty::LinesCleared:
        return "LinesCleared=" + std::to_string(memo->Lines().size());
    }
    return "?";
}

// A view of a form: notes each change as "Name.Property=shown state".
struct RecordingView : FormObserver {
    TForm& form;
    std::vector<std::string> seen;
    explicit RecordingView(TForm& f) : form(f) { form.subscribe(*this); }
    ~RecordingView() { form.unsubscribe(*this); }
    void controlChanged(const TControl& control, ControlProperty property) override {
        seen.push_back(control.Name() + "." + shown(control, property));
    }
    std::vector<std::string> take() { return std::exchange(seen, {}); }
};

using Seen = std::vector<std::string>;

} // namespace

TEST(Controls, EventsRunOnlyOnRealChanges) {
    TForm form("F");
    auto& box = form.add<TCheckBox>("Box", nullptr);
    auto& group = form.add<TRadioGroup>("Group", nullptr);
    group.setItems({"a", "b"});
    auto& pages = form.add<TPageControl>("Pages", nullptr);
    form.add<TTabSheet>("P0", &pages);
    auto& p1 = form.add<TTabSheet>("P1", &pages);
    int clicks = 0, changes = 0, enters = 0;
    box.OnClick = group.OnClick = [&] { ++clicks; };
    pages.OnChange = [&] { ++changes; };
    p1.OnEnter = [&] { ++enters; };

    box.setChecked(false);
    box.setChecked(true);
    box.setChecked(true);
    group.setItemIndex(1);
    group.setItemIndex(1);
    group.setItemIndex(7); // no such item: ignored
    pages.setActivePageIndex(0);
    pages.setActivePageIndex(1);
    pages.setActivePageIndex(1);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_EQ(form.find<TTabSheet>("P1")->PageIndex(), 1);
    EXPECT_EQ(pages.Children().size(), 2u);
}

TEST(Controls, CheckingARadioButtonUnchecksItsSiblings) {
    TForm form("F");
    auto& box = form.add<TGroupBox>("G", nullptr);
    auto& a = form.add<TRadioButton>("A", &box);
    auto& b = form.add<TRadioButton>("B", &box);
    int clicks = 0;
    a.OnClick = b.OnClick = [&] { ++clicks; };
    a.setChecked(true);
    b.setChecked(true);
    EXPECT_FALSE(a.Checked());
    EXPECT_TRUE(b.Checked());
    EXPECT_EQ(clicks, 2);
}

TEST(Controls, AssignmentsReachTheMainWindowByName) {
    test::World world;
    TMainFrm& frm = world.frm;
    struct Case {
        const char* assignment;
        bool ok;
    } cases[] = {{"Manufacturer=ThirdParty", true},
                 {"densito=Blatt5", true},
                 {"TALMOPages=LUMAPage", true},
                 {"Ausgabeart=3", true},
                 {"Notation=0", true},
                 {"Datumaus=1", true},
                 {"Ausgabeart=4", false},
                 {"Datumaus=yes", false},
                 {"densito=Blatt9", false},
                 {"NoSuchControl=1", false},
                 {"Button3=1", false},
                 {"=1", false},
                 {"Zeitaus", false}};
    for (const auto& c : cases)
        EXPECT_EQ(ApplyAssignment(frm.form, c.assignment).empty(), c.ok) << c.assignment;
    EXPECT_EQ(frm.Manufacturer.ActivePage(), &frm.ThirdParty);
    EXPECT_EQ(frm.densito.ActivePageIndex(), 4);
    EXPECT_EQ(frm.TALMOPages.ActivePage(), &frm.LUMAPage);
    EXPECT_EQ(frm.Ausgabeart.ItemIndex(), 3);
    EXPECT_EQ(frm.Notation.ItemIndex(), 0);
    EXPECT_TRUE(frm.Datumaus.Checked());
}

TEST(Controls, MainWindowIsBuiltWithItsTextsAndDefaults) {
    test::World world;
    TMainFrm& frm = world.frm;
    EXPECT_EQ(frm.Ausgabeart.ItemIndex(), 0);
    EXPECT_EQ(frm.Ausgabeart.Items().at(3), "Nächstes Tab-Feld");
    EXPECT_EQ(frm.Notation.ItemIndex(), 2);
    EXPECT_EQ(frm.Notation.Hint(), "Ausgabeformat für gebrochen rationale Zahlen");
    EXPECT_EQ(frm.Blatt3.Caption(), "    MOLDRIX 7000    ");
    EXPECT_EQ(frm.densito.Page(3), &frm.Blatt4);
    EXPECT_EQ(frm.Manufacturer.ActivePage(), &frm.TALMO);
    EXPECT_TRUE(frm.Button3.Enabled());
    EXPECT_FALSE(frm.Button4.Enabled());
    EXPECT_FALSE(frm.running());
    EXPECT_EQ(frm.ParseTimer.Interval(), 100);
    EXPECT_EQ(frm.Watchdog.Interval(), 3000);
    EXPECT_EQ(frm.parseState.RSbuffer, std::string(36, ' '));
}

TEST(ControlObservers, AViewIsToldEveryRealChangeOnce) {
    VirtualEventLoop loop;
    TForm form("F");
    auto& button = form.add<TButton>("Button", nullptr);
    auto& box = form.add<TCheckBox>("Box", nullptr);
    auto& radios = form.add<TGroupBox>("Radios", nullptr);
    auto& a = form.add<TRadioButton>("A", &radios);
    auto& b = form.add<TRadioButton>("B", &radios);
    auto& group = form.add<TRadioGroup>("Group", nullptr);
    auto& combo = form.add<TComboBox>("Combo", nullptr);
    auto& edit = form.add<TEdit>("Edit", nullptr);
    auto& list = form.add<TListBox>("List", nullptr);
    auto& status = form.add<TStatusBar>("Status", nullptr);
    auto& pages = form.add<TPageControl>("Pages", nullptr);
    form.add<TTabSheet>("P0", &pages);
    form.add<TTabSheet>("P1", &pages);
    auto& memo = form.add<TMemo>("Memo", nullptr);
    auto& timer = form.add<TTimer>("Timer", nullptr, loop, 100);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    RecordingView view(form);

    const std::pair<std::function<void()>, Seen> steps[] = {
        {[&] { form.setCaption("Window"); }, {"F.Caption=Window"}},
        {[&] { button.setCaption("Go"); }, {"Button.Caption=Go"}},
        {[&] { button.setCaption("Go"); }, {}},
        {[&] { button.setHint("Starts"); }, {"Button.Hint=Starts"}},
        {[&] { button.setEnabled(false); }, {"Button.Enabled=0"}},
        {[&] { button.setEnabled(false); }, {}},
        {[&] { button.setVisible(false); }, {"Button.Visible=0"}},
        {[&] { box.setChecked(true); }, {"Box.Checked=1"}},
        {[&] { box.setChecked(true); }, {}},
        {[&] { a.setChecked(true); }, {"A.Checked=1"}},
        {[&] { b.setChecked(true); }, {"B.Checked=1", "A.Checked=0"}},
        {[&] {
             group.setItems({"x", "y"});
         },
         {"Group.Items=x|y"}},
        {[&] { group.setItemIndex(1); }, {"Group.ItemIndex=1"}},
        {[&] { group.setItemIndex(5); }, {}},
        {[&] { group.setItems({"z"}); }, {"Group.Items=z", "Group.ItemIndex=-1"}},
        {[&] {
             combo.setItems({"9600", "19200"});
         },
         {"Combo.Items=9600|19200"}},
        {[&] { combo.setItemIndex(1); }, {"Combo.ItemIndex=1", "Combo.Text=19200"}},
        {[&] { combo.setText("typed"); }, {"Combo.ItemIndex=-1", "Combo.Text=typed"}},
        {[&] { combo.restoreItemIndex(0); }, {"Combo.ItemIndex=0", "Combo.Text=9600"}},
        {[&] { edit.setText("/a.ods"); }, {"Edit.Text=/a.ods"}},
        {[&] { edit.setReadOnly(true); }, {"Edit.ReadOnly=1"}},
        {[&] {
             list.setItems({"/a.ods", "/b.ods"});
         },
         {"List.Items=/a.ods|/b.ods"}},
        {[&] { status.setSimpleText("Connected"); }, {"Status.SimpleText=Connected"}},
        {[&] { status.setSimpleText("Connected"); }, {}},
        {[&] { pages.setActivePageIndex(1); }, {"Pages.ActivePage=P1"}},
        {[&] { pages.setActivePageIndex(1); }, {}},
        {[&] { memo.setLastLine("first"); }, {"Memo.LineAppended=first"}},
        {[&] { memo.setLastLine("first!"); }, {"Memo.LastLineChanged=first!"}},
        {[&] { memo.setLastLine("first!"); }, {}},
        {[&] { memo.appendLine(""); }, {"Memo.LineAppended="}},
        {[&] { memo.removeLastLine(); }, {"Memo.LastLineRemoved=1"}},
        {[&] { memo.appendLine("second"); }, {"Memo.LineAppended=second"}},
        {[&] { memo.removeFirstLines(1); }, {"Memo.FirstLinesRemoved=1"}},
        {[&] { memo.removeFirstLines(0); }, {}},
        {[&] { memo.clear(); }, {"Memo.LinesCleared=0"}},
        {[&] { memo.clear(); }, {}},
        {[&] { memo.removeLastLine(); }, {}},
        {[&] { timer.setEnabled(true); }, {"Timer.Enabled=1"}},
    };
    for (size_t k = 0; k < std::size(steps); ++k) {
        steps[k].first();
        EXPECT_EQ(view.take(), steps[k].second) << "step " << k;
    }
    loop.runUntil(250);
    timer.setEnabled(false);
    loop.runUntil(1000);
    EXPECT_EQ(ticks, 2) << "the timer ticks exactly while it is enabled";
    EXPECT_EQ(view.take(), Seen{"Timer.Enabled=0"});
}

TEST(ControlObservers, ToldBeforeTheEventRuns) {
    TForm form("F");
    auto& box = form.add<TCheckBox>("Box", nullptr);
    RecordingView view(form);
    Seen seenByTheEvent;
    box.OnClick = [&] { seenByTheEvent = view.seen; };
    box.setChecked(true);
    EXPECT_EQ(seenByTheEvent, Seen{"Box.Checked=1"});
}

TEST(ControlObservers, LeavingWhileBeingToldLetsTheOthersHearIt) {
    struct LeavingView : RecordingView {
        using RecordingView::RecordingView;
        void controlChanged(const TControl& control, ControlProperty property) override {
            RecordingView::controlChanged(control, property);
            form.unsubscribe(*this);
        }
    };
    TForm form("F");
    auto& box = form.add<TCheckBox>("Box", nullptr);
    LeavingView leaving(form);
    RecordingView staying(form);
    form.subscribe(staying); // a second subscription is no second observer
    box.setChecked(true);
    box.setChecked(false);
    EXPECT_EQ(leaving.take(), Seen{"Box.Checked=1"});
    EXPECT_EQ(staying.take(), (Seen{"Box.Checked=1", "Box.Checked=0"}));
    form.unsubscribe(staying);
    box.setChecked(true);
    EXPECT_TRUE(staying.take().empty());
}

TEST(ControlObservers, AViewOfTheMainWindowSeesStartStopFlagsAndTheMonitor) {
    test::World w;
    TMainFrm& frm = w.frm;
    RecordingView view(frm.form);

    frm.Button3.Click();
    EXPECT_EQ(view.take(), (Seen{"Button3.Enabled=0", "Button4.Enabled=1",
                                 "StatusBar1.SimpleText=Connected", "RSMemo.LineAppended="}));

    w.deliver("%D1  1.2");
    w.deliver("3R\r\n%D");
    EXPECT_EQ(view.take(),
              (Seen{"RSMemo.LastLineChanged=%D1  1.2", "RSMemo.LastLineChanged=%D1  1.23R\r\n",
                    "RSMemo.LineAppended=", "RSMemo.LastLineChanged=%D"}));

    frm.form.find<TButton>("Button12")->Click(); // NICHTS on Blatt1: flags 1 to 11
    frm.form.find<TButton>("Button5")->Click();  // ALLE under REFLEXION: flags 1 to 6
    Seen flags;
    for (int n = 1; n <= 11; ++n) flags.push_back("CheckBox" + std::to_string(n) + ".Checked=0");
    for (int n = 1; n <= 6; ++n) flags.push_back("CheckBox" + std::to_string(n) + ".Checked=1");
    EXPECT_EQ(view.take(), flags);
    frm.form.find<TButton>("Button5")->Click();
    EXPECT_TRUE(view.take().empty()) << "checked boxes stay as they are";

    frm.Button4.Click();
    EXPECT_EQ(view.take(), (Seen{"StatusBar1.SimpleText=Disconnected", "Button3.Enabled=1",
                                 "Button4.Enabled=0"}));
}
