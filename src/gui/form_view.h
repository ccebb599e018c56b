#pragma once
// The Qt face of a form: builds a widget for each control of its tree, keeps every
// widget in step with its control through the form's change notification, and turns a
// user's click, tick, choice or edit into the control's own setter or click, so the
// behaviour stays in the controls. The view holds no state of its own.
#include "platform/controls.h"

#include <QString>

#include <unordered_map>
#include <vector>

class QAbstractButton;
class QAction;
class QMenuBar;
class QWidget;

namespace qorva::gui {

QString qt(const std::string& utf8);

class FormView : public FormObserver {
  public:
    explicit FormView(TForm& form);
    ~FormView();
    FormView(const FormView&) = delete;
    FormView& operator=(const FormView&) = delete;

    TForm& form() const { return form_; }
    // The window that shows the form: its caption becomes the window title.
    void setWindow(QWidget* window);
    // The widget of a control and of everything it holds, laid out in tree order.
    QWidget* build(TControl& control, QWidget* parent);
    // A container's children, laid out in tree order inside widget.
    void buildChildren(TControl& container, QWidget* widget);
    // The menu bar of a main menu: an item with items of its own is a submenu.
    void buildMenu(TMainMenu& menu, QMenuBar* bar);
    // The widget built for a control; nullptr when it has none.
    QWidget* widgetOf(const TControl& control) const;
    QAction* actionOf(const TControl& control) const;

    void controlChanged(const TControl& control, ControlProperty property) override;

  private:
    QWidget* create(TControl& control, QWidget* parent);
    void bind(TControl& control, QWidget* widget);
    void showCaption(const TControl& control);
    void showVisible(const TControl& control);
    void showItems(const TControl& control);
    void showChoice(const TControl& control);
    void showMemo(const TMemo& memo, ControlProperty property);
    void showActivePage(const TPageControl& pages);
    void addPage(TPageControl& pages, TTabSheet& page, QWidget* pagesWidget);
    void radioItems(TRadioGroup& group);

    TForm& form_;
    QWidget* window_ = nullptr;
    std::unordered_map<const TControl*, QWidget*> widgets_;
    std::unordered_map<const TControl*, QAction*> actions_;
    std::unordered_map<const TControl*, std::vector<QAbstractButton*>> itemButtons_;
};

} // namespace qorva::gui
