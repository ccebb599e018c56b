#include "platform/controls.h"

#include <algorithm>

namespace qorva {

static bool parseIndex(const std::string& text, int& out) {
    if (text.empty() || text.size() > 6) return false;
    size_t start = text[0] == '-' ? 1 : 0;
    if (start == text.size()) return false;
    int value = 0;
    for (size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    out = start ? -value : value;
    return true;
}

TControl::TControl(std::string name, TControl* parent) : name_(std::move(name)), parent_(parent) {
    if (parent_) parent_->children_.push_back(this);
}

TControl* TForm::find(const std::string& name) {
    if (name == Name()) return this;
    for (auto& control : owned_)
        if (control->Name() == name) return control.get();
    return nullptr;
}

void TButton::Click() {
    if (Enabled && Visible && OnClick) OnClick();
}

void TCheckBox::setChecked(bool value) {
    if (checked_ == value) return;
    checked_ = value;
    if (OnClick) OnClick();
}

static bool parseBool(const std::string& value, bool& out) {
    if (value != "0" && value != "1") return false;
    out = value == "1";
    return true;
}

bool TCheckBox::setFromText(const std::string& value) {
    bool on = false;
    if (!parseBool(value, on)) return false;
    setChecked(on);
    return true;
}

void TRadioButton::setChecked(bool value) {
    if (checked_ == value) return;
    checked_ = value;
    if (!value) return;
    for (TControl* sibling : Parent()->Children())
        if (auto* radio = dynamic_cast<TRadioButton*>(sibling); radio && radio != this)
            radio->checked_ = false;
    if (OnClick) OnClick();
}

bool TRadioButton::setFromText(const std::string& value) {
    bool on = false;
    if (!parseBool(value, on)) return false;
    setChecked(on);
    return true;
}

void TRadioGroup::setItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(Items.size()) || index == itemIndex_) return;
    itemIndex_ = index;
    if (OnClick) OnClick();
}

bool TRadioGroup::setFromText(const std::string& value) {
    int index = 0;
    if (!parseIndex(value, index) || index < -1 || index >= static_cast<int>(Items.size()))
        return false;
    setItemIndex(index);
    return true;
}

void TComboBox::setItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(Items.size()) || index == itemIndex_) return;
    itemIndex_ = index;
    if (index >= 0) text_ = Items[static_cast<size_t>(index)];
    if (OnChange) OnChange();
}

void TComboBox::restoreItemIndex(int index) {
    itemIndex_ = index >= 0 && index < static_cast<int>(Items.size()) ? index : -1;
    if (itemIndex_ >= 0) text_ = Items[static_cast<size_t>(itemIndex_)];
}

void TComboBox::setText(const std::string& text) {
    if (text == text_ && itemIndex_ == -1) return;
    text_ = text;
    itemIndex_ = -1;
    if (OnChange) OnChange();
}

bool TComboBox::setFromText(const std::string& value) {
    int index = 0;
    if (!parseIndex(value, index) || index < -1 || index >= static_cast<int>(Items.size()))
        return false;
    setItemIndex(index);
    return true;
}

int TTabSheet::PageIndex() const {
    int index = 0;
    for (TControl* sibling : Parent()->Children()) {
        if (sibling == this) return index;
        if (dynamic_cast<TTabSheet*>(sibling)) ++index;
    }
    return -1;
}

int TPageControl::PageCount() const {
    return static_cast<int>(std::count_if(Children().begin(), Children().end(), [](TControl* c) {
        return dynamic_cast<TTabSheet*>(c) != nullptr;
    }));
}

TTabSheet* TPageControl::Page(int index) const {
    for (TControl* child : Children())
        if (auto* page = dynamic_cast<TTabSheet*>(child); page && index-- == 0) return page;
    return nullptr;
}

void TPageControl::setActivePageIndex(int index) {
    if (index < 0 || index >= PageCount() || index == activeIndex_) return;
    activeIndex_ = index;
    if (OnChange) OnChange();
    if (TTabSheet* page = Page(index); page && page->OnEnter) page->OnEnter();
}

bool TPageControl::setFromText(const std::string& pageName) {
    for (int i = 0; i < PageCount(); ++i)
        if (Page(i)->Name() == pageName) {
            setActivePageIndex(i);
            return true;
        }
    return false;
}

TTimer::TTimer(std::string name, TControl* parent, EventLoop& loop, int interval)
    : TControl(std::move(name), parent), loop_(loop), interval_(interval) {}

TTimer::~TTimer() {
    setEnabled(false);
}

void TTimer::setEnabled(bool on) {
    if (on == isEnabled()) return;
    if (on) {
        timerId_ = loop_.startTimer(interval_, [this] {
            if (OnTimer) OnTimer();
        });
    } else {
        loop_.stopTimer(timerId_);
        timerId_ = 0;
    }
}

} // namespace qorva
