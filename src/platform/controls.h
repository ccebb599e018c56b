#pragma once
// Windows as trees of named controls. Behaviour reads the controls' state when it needs
// it and reacts to their events; an event runs only when a state really changes,
// whether the user or the program changed it. The tree records containment and order,
// which is all a view needs to lay the controls out.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/event_loop.h"

namespace qorva {

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
    virtual const char* kind() const = 0;

    std::string Caption, Hint;
    bool Enabled = true;
    bool Visible = true;

    // Sets the control's value from text as a user would (see each kind); false when
    // the text is not a value this control takes.
    virtual bool setFromText(const std::string& /*value*/) { return false; }

  private:
    std::string name_;
    TControl* parent_;
    std::vector<TControl*> children_;
};

class TForm : public TControl {
  public:
    explicit TForm(std::string name) : TControl(std::move(name), nullptr) {}
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

  private:
    std::vector<std::unique_ptr<TControl>> owned_;
};

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
    std::vector<std::string> Items;
    int ItemIndex() const { return itemIndex_; }
    // -1 selects nothing; an index outside the items is ignored.
    void setItemIndex(int index);
    bool setFromText(const std::string& value) override;
    Event OnClick;

  private:
    int itemIndex_ = -1;
};

// A drop-down list with an edit field: an item chosen, or text typed (ItemIndex -1).
class TComboBox : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TComboBox"; }
    std::vector<std::string> Items;
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

  private:
    int activeIndex_ = 0;
};

class TMemo : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TMemo"; }
    std::vector<std::string> Lines;
};

class TEdit : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TEdit"; }
    std::string Text;
    bool ReadOnly = false;
};

class TListBox : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TListBox"; }
    std::vector<std::string> Items;
};

class TStatusBar : public TControl {
  public:
    using TControl::TControl;
    const char* kind() const override { return "TStatusBar"; }
    std::string SimpleText;
};

// A window timer on the event loop; ticks while Enabled.
class TTimer : public TControl {
  public:
    TTimer(std::string name, TControl* parent, EventLoop& loop, int interval);
    ~TTimer() override;
    const char* kind() const override { return "TTimer"; }
    int Interval() const { return interval_; }
    bool isEnabled() const { return timerId_ != 0; }
    void setEnabled(bool on);
    Event OnTimer;

  private:
    EventLoop& loop_;
    int interval_;
    EventLoop::TimerId timerId_ = 0;
};

} // namespace qorva
