#include "platform/controls.h"

#include <algorithm>

namespace qorva {

// Stores value in field; false when the field held it already, so nothing changed.
template <class T> bool update(T& field, T value) {
    if (field == value) return false;
    field = std::move(value);
    return true;
}

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

TControl::TControl(std::string name, TControl* parent) : TControl(std::move(name), parent, true) {}

TControl::TControl(std::string name, TControl* parent, bool enabled)
    : name_(std::move(name)), parent_(parent), form_(parent ? parent->form_ : nullptr),
      enabled_(enabled) {
    if (parent_) parent_->children_.push_back(this);
}

void TControl::setCaption(std::string caption) {
    if (update(caption_, std::move(caption))) changed(ControlProperty::Caption);
}

void TControl::setHint(std::string hint) {
    if (update(hint_, std::move(hint))) changed(ControlProperty::Hint);
}

void TControl::setEnabled(bool on) {
    if (!update(enabled_, on)) return;
    enabledChanged();
    changed(ControlProperty::Enabled);
}

void TControl::setVisible(bool on) {
    if (update(visible_, on)) changed(ControlProperty::Visible);
}

TForm::TForm(std::string name) : TControl(std::move(name), nullptr) {
    form_ = this;
}

TControl* TForm::find(const std::string& name) {
    if (name == Name()) return this;
    for (auto& control : owned_)
        if (control->Name() == name) return control.get();
    return nullptr;
}

void TForm::subscribe(FormObserver& observer) {
    if (std::find(observers_.begin(), observers_.end(), &observer) == observers_.end())
        observers_.push_back(&observer);
}

// While observers are being told, a leaving one is only blanked, so the others are all
// told; the blanks go when the outermost notification ends.
void TForm::unsubscribe(FormObserver& observer) {
    auto found = std::find(observers_.begin(), observers_.end(), &observer);
    if (found == observers_.end()) return;
    if (notifying_)
        *found = nullptr;
    else
        observers_.erase(found);
}

void TForm::notify(const TControl& control, ControlProperty property) {
    ++notifying_;
    for (size_t i = 0; i < observers_.size(); ++i)
        if (FormObserver* observer = observers_[i]) observer->controlChanged(control, property);
    if (--notifying_ == 0) std::erase(observers_, nullptr);
}

void TButton::Click() {
    if (Enabled() && Visible() && OnClick) OnClick();
}

void TCheckBox::setChecked(bool value) {
    if (!update(checked_, value)) return;
    changed(ControlProperty::Checked);
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
    if (!update(checked_, value)) return;
    changed(ControlProperty::Checked);
    if (!value) return;
    for (TControl* sibling : Parent()->Children())
        if (auto* radio = dynamic_cast<TRadioButton*>(sibling);
            radio && radio != this && update(radio->checked_, false))
            radio->changed(ControlProperty::Checked);
    if (OnClick) OnClick();
}

bool TRadioButton::setFromText(const std::string& value) {
    bool on = false;
    if (!parseBool(value, on)) return false;
    setChecked(on);
    return true;
}

void TRadioGroup::setItems(std::vector<std::string> items) {
    if (!update(items_, std::move(items))) return;
    changed(ControlProperty::Items);
    if (itemIndex_ >= static_cast<int>(items_.size())) setItemIndex(-1);
}

void TRadioGroup::setItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size()) || index == itemIndex_) return;
    itemIndex_ = index;
    changed(ControlProperty::ItemIndex);
    if (OnClick) OnClick();
}

bool TRadioGroup::setFromText(const std::string& value) {
    int index = 0;
    if (!parseIndex(value, index) || index < -1 || index >= static_cast<int>(items_.size()))
        return false;
    setItemIndex(index);
    return true;
}

void TComboBox::setItems(std::vector<std::string> items) {
    if (!update(items_, std::move(items))) return;
    changed(ControlProperty::Items);
    if (itemIndex_ >= static_cast<int>(items_.size())) setItemIndex(-1);
}

void TComboBox::select(int index, const std::string& text) {
    if (update(itemIndex_, index)) changed(ControlProperty::ItemIndex);
    if (text_ != text) {
        text_ = text;
        changed(ControlProperty::Text);
    }
}

void TComboBox::setItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size()) || index == itemIndex_) return;
    select(index, index >= 0 ? items_[static_cast<size_t>(index)] : text_);
    if (OnChange) OnChange();
}

void TComboBox::restoreItemIndex(int index) {
    const int item = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
    select(item, item >= 0 ? items_[static_cast<size_t>(item)] : text_);
}

void TComboBox::setText(const std::string& text) {
    if (text == text_ && itemIndex_ == -1) return;
    select(-1, text);
    if (OnChange) OnChange();
}

bool TComboBox::setFromText(const std::string& value) {
    int index = 0;
    if (!parseIndex(value, index) || index < -1 || index >= static_cast<int>(items_.size()))
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
    changed(ControlProperty::ActivePage);
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

void TMemo::removeLastLine() {
    if (lines_.empty()) return;
    lines_.pop_back();
    changed(ControlProperty::LastLineRemoved);
}

void TMemo::removeFirstLines(size_t count) {
    count = std::min(count, lines_.size());
    if (count == 0) return;
    lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(count));
    changed(ControlProperty::FirstLinesRemoved);
}

void TMemo::clear() {
    if (lines_.empty()) return;
    lines_.clear();
    changed(ControlProperty::LinesCleared);
}

void TEdit::setText(std::string text) {
    if (update(text_, std::move(text))) changed(ControlProperty::Text);
}

void TEdit::setReadOnly(bool on) {
    if (update(readOnly_, on)) changed(ControlProperty::ReadOnly);
}

void TListBox::setItems(std::vector<std::string> items) {
    if (update(items_, std::move(items))) changed(ControlProperty::Items);
}

void TStatusBar::setSimpleText(std::string text) {
    if (update(simpleText_, std::move(text))) changed(ControlProperty::SimpleText);
}

TTimer::TTimer(std::string name, TControl* parent, EventLoop& loop, int interval)
    : TControl(std::move(name), parent, false), loop_(loop), interval_(interval) {}

// No notification here: the form may be going with its observers.
TTimer::~TTimer() {
    if (timerId_) loop_.stopTimer(timerId_);
}

void TTimer::enabledChanged() {
    if (Enabled()) {
        timerId_ = loop_.startTimer(interval_, [this] {
            if (OnTimer) OnTimer();
        });
    } else {
        loop_.stopTimer(timerId_);
        timerId_ = 0;
    }
}

} // namespace qorva
