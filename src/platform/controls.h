#pragma once
// Windows as trees of named controls. Behaviour reads the controls' state when it needs
// it and reacts to their events; an event runs only when a state really changes,
// whether the user or the program changed it. The tree records containment and order,
// which is all a view needs to lay the controls out. Every state changes through a
// setter, and the form tells its observers (a view) which control changed what.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/event_loop.h"

namespace qorva {

class TControl;
class TForm;

// What changed on a control; the observer reads the new state from the control.
enum class ControlProperty {
    Caption,
    Hint,
    Enabled,
    Visible,
    Checked,
    Items,
    ItemIndex,
    Text,
    ReadOnly,
    SimpleText,
    ActivePage,
    // A memo's lines, told one line at a time so that a long monitor is never copied.
    LineAppended,
    LastLineChanged,
    LastLineRemoved,
    FirstLinesRemoved,
    LinesCleared,
};

// Told of every real change of a state on a form's controls, after the change and before
// the control's event runs. Observers stay separate from the events, which belong to the
// behaviour.
class FormObserver {
  public:
    virtual void controlChanged(const TControl& control, ControlProperty property) = 0;

  protected:
    ~FormObserver() = default;
};

class TControl {
  public:
    using Event = std::function<void()>;

    TControl(std::string name, TControl* parent);
    virtual ~TControl() = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    const std::string& Name() const { return name_; }
    TControl* Parent() const { return parent_; }
    const std::vector<TControl*>& Children() const { return children_; }
    // The form whose observers hear of this control's changes; none for a lone control.
    TForm* Form() const { return form_; }
    virtual const char* kind() const = 0;

    const std::string& Caption() const { return caption_; }
    void setCaption(std::string caption);
    const std::string& Hint() const { return hint_; }
    void setHint(std::string hint);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);
    bool Visible() const { return visible_; }
    void setVisible(bool on);

    // Sets the control's value from text as a user would (see each kind); false when
    // the text is not a value this control takes.
    virtual bool setFromText(const std::string& /*value*/) { return false; }

  protected:
    // For kinds that start disabled.
    TControl(std::string name, TControl* parent, bool enabled);
    // Tells the form's observers that property changed on this control.
    void changed(ControlProperty property) const;

  private:
    friend class TForm;
    // What a kind does beyond showing the new state when it is enabled or disabled.
    virtual void enabledChanged() {}

    std::string name_;
    TControl* parent_;
    TForm* form_;
    std::vector<TControl*> children_;
    std::string caption_, hint_;
    bool enabled_;
    bool visible_ = true;
};

class TForm : public TControl {
  public:
    explicit TForm(std::string name);
    const char* kind() const override { return "TForm"; }

    template <class T, class... Args>
    T& add(const std::string& name, TControl* parent, Args&&... args) {
        auto control =
            std::make_unique<T>(name, parent ? parent : this, std::forward<Args>(args)...);
        T& ref = *control;
        owned_.push_back(std::move(control));
        return ref;
    }
    TControl* find(const std::string& name);
    template <class T> T* find(const std::string& name) { return dynamic_cast<T*>(find(name)); }

    // An observer is told of every change on this form's controls until it unsubscribes,
    // which it may do while it is being told.
    void subscribe(FormObserver& observer);
    void unsubscribe(FormObserver& observer);

  private:
    friend class TControl;
    bool observed() const { return !observers_.empty(); }
    void notify(const TControl& control, ControlProperty property);

    std::vector<FormObserver*> observers_;
    int notifying_ = 0;
    // Declared last: the controls go first, while the observer list still exists.
    std::vector<std::unique_ptr<TControl>> owned_;
};

// Inline, as the monitor's lines change once per received record: with nobody
// observing, a change costs one test.
inline void TControl::changed(ControlProperty property) const {
    if (form_ && form_->observed()) form_->notify(*this, property);
}

class TGroupBox : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TGroupBox"; }
};

class TLabel : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TLabel"; }
};

class TButton : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TButton"; }
    // A user's click: runs OnClick when the button is enabled and visible.
    void Click();
    Event OnClick;
};

// A main menu: its items, each of which may hold items of its own (a submenu).
class TMainMenu : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TMainMenu"; }
};

class TMenuItem : public TButton {
  public:
    using TButton::TButton;
    const char* kind() const override { return "TMenuItem"; }
};

class TCheckBox : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TCheckBox"; }
    bool Checked() const { return checked_; }
    void setChecked(bool value);
    bool setFromText(const std::string& value) override;
    Event OnClick;

  private:
    bool checked_ = false;
};

class TRadioButton : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TRadioButton"; }
    bool Checked() const { return checked_; }
    // Checking one radio button unchecks its siblings; OnClick runs when it becomes checked.
    void setChecked(bool value);
    bool setFromText(const std::string& value) override;
    Event OnClick;

  private:
    bool checked_ = false;
};

class TRadioGroup : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TRadioGroup"; }
    const std::vector<std::string>& Items() const { return items_; }
    // New items; a chosen item beyond them is unchosen as by setItemIndex(-1).
    void setItems(std::vector<std::string> items);
    int ItemIndex() const { return itemIndex_; }
    // -1 selects nothing; an index outside the items is ignored.
    void setItemIndex(int index);
    bool setFromText(const std::string& value) override;
    Event OnClick;
    // How many columns the items are laid out in; fixed when the window is built.
    int Columns = 1;

  private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

// A drop-down list with an edit field: an item chosen, or text typed (ItemIndex -1).
class TComboBox : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TComboBox"; }
    const std::vector<std::string>& Items() const { return items_; }
    // New items; a chosen item beyond them is unchosen as by setItemIndex(-1).
    void setItems(std::vector<std::string> items);
    int ItemIndex() const { return itemIndex_; }
    const std::string& Text() const { return text_; }
    // Choosing an item shows its text; OnChange runs on a real change.
    void setItemIndex(int index);
    // Selects an item the way stored settings restore it: no change event runs. An index
    // outside the items selects nothing.
    void restoreItemIndex(int index);
    // Typing into the edit field: no item is selected any more.
    void setText(const std::string& text);
    bool setFromText(const std::string& value) override;
    Event OnChange;

  private:
    // Index and text as given; tells the observers what of them changed.
    void select(int index, const std::string& text);

    std::vector<std::string> items_;
    int itemIndex_ = -1;
    std::string text_;
};

class TTabSheet : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TTabSheet"; }
    int PageIndex() const;
    Event OnEnter;
};

class TPageControl : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TPageControl"; }
    int PageCount() const;
    TTabSheet* Page(int index) const;
    int ActivePageIndex() const { return activeIndex_; }
    TTabSheet* ActivePage() const { return Page(activeIndex_); }
    // Activating a page runs OnChange and the page's OnEnter.
    void setActivePageIndex(int index);
    bool setFromText(const std::string& pageName) override;
    Event OnChange;
    // How the tabs are laid out; fixed when the window is built.
    bool TabsOnRight = false;
    bool MultiLine = false; // several rows of tabs

  private:
    int activeIndex_ = 0;
};

// Lines of text that grow at the end, as the monitor of received lines does.
class TMemo : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TMemo"; }
    const std::vector<std::string>& Lines() const { return lines_; }
    void appendLine(std::string line) {
        lines_.push_back(std::move(line));
        changed(ControlProperty::LineAppended);
    }
    // The last line becomes line; an empty memo gets it as its first line.
    void setLastLine(const std::string& line) {
        if (lines_.empty()) {
            appendLine(line);
        } else if (lines_.back() != line) {
            lines_.back() = line;
            changed(ControlProperty::LastLineChanged);
        }
    }
    void removeLastLine();
    // Drops the oldest count lines (all of them when there are fewer).
    void removeFirstLines(size_t count);
    void clear();

  private:
    std::vector<std::string> lines_;
};

class TEdit : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TEdit"; }
    const std::string& Text() const { return text_; }
    void setText(std::string text);
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool on);

  private:
    std::string text_;
    bool readOnly_ = false;
};

class TListBox : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TListBox"; }
    const std::vector<std::string>& Items() const { return items_; }
    void setItems(std::vector<std::string> items);

  private:
    std::vector<std::string> items_;
};

class TStatusBar : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TStatusBar"; }
    const std::string& SimpleText() const { return simpleText_; }
    void setSimpleText(std::string text);

  private:
    std::string simpleText_;
};

// A window timer on the event loop; ticks while Enabled, and is built disabled.
class TTimer : public TControl {
  public:
    TTimer(std::string name, TControl* parent, EventLoop& loop, int interval);
    ~TTimer() override;
    const char* kind() const override { return "TTimer"; }
    int Interval() const { return interval_; }
    Event OnTimer;

  private:
    void enabledChanged() override;

    EventLoop& loop_;
    int interval_;
    EventLoop::TimerId timerId_ = 0;
};

} // namespace qorva
