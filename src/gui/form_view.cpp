#include "gui/form_view.h"

#include "gui/pictures.h"
#include "shell/monitor_file.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

namespace qorva::gui {

QString qt(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

namespace {

// Record text is bytes, one character each; a line shows without its line end.
QString monitorText(const std::string& bytes) {
    const std::string_view line = MonitorLine(bytes);
    return QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
}

// A page control with several rows of tabs: a grid of exclusive buttons over the pages.
class TabRowPages : public QWidget {
  public:
    static constexpr int kTabsPerRow = 3;

    explicit TabRowPages(QWidget* parent) : QWidget(parent) {
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        rows_ = new QGridLayout;
        rows_->setSpacing(0);
        column->addLayout(rows_);
        stack_ = new QStackedWidget(this);
        stack_->setFrameShape(QFrame::StyledPanel);
        column->addWidget(stack_, 1);
        buttons_.setExclusive(true);
    }
    void addPage(QWidget* page, const QString& text) {
        const int index = stack_->addWidget(page);
        auto* tab = new QToolButton(this);
        tab->setText(text);
        tab->setCheckable(true);
        tab->setAutoRaise(false);
        tab->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        buttons_.addButton(tab, index);
        rows_->addWidget(tab, index / kTabsPerRow, index % kTabsPerRow);
    }
    QStackedWidget* stack() const { return stack_; }
    QAbstractButton* tab(int index) const { return buttons_.button(index); }
    QButtonGroup& tabs() { return buttons_; }
    void setCurrent(int index) {
        if (QAbstractButton* button = tab(index)) button->setChecked(true);
        stack_->setCurrentIndex(index);
    }

  private:
    QGridLayout* rows_;
    QStackedWidget* stack_;
    QButtonGroup buttons_;
};

bool isBlock(const TControl& control) {
    return dynamic_cast<const TGroupBox*>(&control) || dynamic_cast<const TRadioGroup*>(&control);
}

bool isButton(const TControl& control) {
    return dynamic_cast<const TButton*>(&control) != nullptr;
}

bool fills(const TControl& control) {
    return dynamic_cast<const TMemo*>(&control) || dynamic_cast<const TPageControl*>(&control);
}

} // namespace

FormView::FormView(TForm& form) : form_(form) {
    form_.subscribe(*this);
}

FormView::~FormView() {
    form_.unsubscribe(*this);
}

void FormView::setWindow(QWidget* window) {
    window_ = window;
    window_->setWindowTitle(qt(form_.Caption()));
    widgets_[&form_] = window;
}

QWidget* FormView::widgetOf(const TControl& control) const {
    const auto found = widgets_.find(&control);
    return found == widgets_.end() ? nullptr : found->second;
}

QAction* FormView::actionOf(const TControl& control) const {
    const auto found = actions_.find(&control);
    return found == actions_.end() ? nullptr : found->second;
}

QWidget* FormView::build(TControl& control, QWidget* parent) {
    QWidget* widget = create(control, parent);
    if (!widget) return nullptr;
    widgets_[&control] = widget;
    bind(control, widget);
    widget->setObjectName(qt(control.Name()));
    widget->setToolTip(qt(control.Hint()));
    widget->setEnabled(control.Enabled());
    if (!control.Visible()) widget->setHidden(true);
    showCaption(control);
    showItems(control);
    showChoice(control);
    return widget;
}

// Children top to bottom; neighbouring group boxes side by side, neighbouring buttons in
// a row, a monitor or page control taking the space that is left.
void FormView::buildChildren(TControl& container, QWidget* widget) {
    auto* column = new QVBoxLayout(widget);
    QHBoxLayout* row = nullptr;
    bool filled = false;
    const auto finishRow = [&row] {
        if (row) row->addStretch(1);
        row = nullptr;
    };
    enum class Row { None, Blocks, Buttons } rowKind = Row::None;
    for (TControl* child : container.Children()) {
        if (auto* pages = dynamic_cast<TPageControl*>(&container);
            pages && dynamic_cast<TTabSheet*>(child))
            continue;
        QWidget* childWidget = build(*child, widget);
        if (!childWidget) continue;
        const Row kind = isBlock(*child)    ? Row::Blocks
                         : isButton(*child) ? Row::Buttons
                                            : Row::None;
        if (kind == Row::None) {
            finishRow();
            rowKind = Row::None;
            column->addWidget(childWidget, fills(*child) ? 1 : 0);
            filled = filled || fills(*child);
            continue;
        }
        if (!row || rowKind != kind) {
            finishRow();
            row = new QHBoxLayout;
            column->addLayout(row);
            rowKind = kind;
        }
        row->addWidget(childWidget, 0, Qt::AlignTop);
    }
    finishRow();
    if (!filled) column->addStretch(1);
}

QWidget* FormView::create(TControl& control, QWidget* parent) {
    if (dynamic_cast<TTimer*>(&control) || dynamic_cast<TMainMenu*>(&control) ||
        dynamic_cast<TMenuItem*>(&control))
        return nullptr;
    if (auto* pages = dynamic_cast<TPageControl*>(&control)) {
        QWidget* widget = nullptr;
        if (pages->MultiLine) {
            widget = new TabRowPages(parent);
        } else {
            auto* tabs = new QTabWidget(parent);
            if (pages->TabsOnRight) tabs->setTabPosition(QTabWidget::East);
            widget = tabs;
        }
        for (int i = 0; i < pages->PageCount(); ++i) addPage(*pages, *pages->Page(i), widget);
        return widget;
    }
    if (dynamic_cast<TTabSheet*>(&control) || dynamic_cast<TGroupBox*>(&control)) {
        QWidget* widget =
            dynamic_cast<TGroupBox*>(&control) ? new QGroupBox(parent) : new QWidget(parent);
        buildChildren(control, widget);
        return widget;
    }
    if (auto* group = dynamic_cast<TRadioGroup*>(&control)) {
        auto* box = new QGroupBox(parent);
        new QGridLayout(box);
        (void)group;
        return box;
    }
    if (dynamic_cast<TCheckBox*>(&control)) return new QCheckBox(parent);
    if (dynamic_cast<TRadioButton*>(&control)) {
        auto* radio = new QRadioButton(parent);
        radio->setAutoExclusive(false);
        return radio;
    }
    if (dynamic_cast<TButton*>(&control)) return new QPushButton(parent);
    if (dynamic_cast<TComboBox*>(&control)) {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        return combo;
    }
    if (dynamic_cast<TMemo*>(&control)) {
        auto* memo = new QPlainTextEdit(parent);
        memo->setReadOnly(true);
        memo->setLineWrapMode(QPlainTextEdit::NoWrap);
        memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        QPalette palette = memo->palette();
        palette.setColor(QPalette::Text, QColor(0, 0, 128));
        memo->setPalette(palette);
        return memo;
    }
    if (auto* edit = dynamic_cast<TEdit*>(&control)) {
        auto* line = new QLineEdit(parent);
        line->setReadOnly(edit->ReadOnly());
        line->setText(qt(edit->Text()));
        return line;
    }
    if (dynamic_cast<TListBox*>(&control)) return new QListWidget(parent);
    if (auto* bar = dynamic_cast<TStatusBar*>(&control))
        return new QLabel(qt(bar->SimpleText()), parent);
    if (dynamic_cast<TLabel*>(&control)) {
        auto* label = new QLabel(parent);
        if (control.Name().rfind("Image", 0) == 0) label->setPixmap(PictureFor(control));
        return label;
    }
    return nullptr;
}

void FormView::addPage(TPageControl& pages, TTabSheet& page, QWidget* pagesWidget) {
    QWidget* pageWidget = build(page, nullptr);
    if (auto* rows = dynamic_cast<TabRowPages*>(pagesWidget))
        rows->addPage(pageWidget, qt(page.Caption()));
    else
        static_cast<QTabWidget*>(pagesWidget)->addTab(pageWidget, qt(page.Caption()));
    if (!page.Visible()) showVisible(page);
    (void)pages;
}

// A user's action becomes the control's own setter or click; afterwards the widget shows
// the control's state again, in case the control kept its old one.
void FormView::bind(TControl& control, QWidget* widget) {
    if (auto* box = dynamic_cast<TCheckBox*>(&control)) {
        auto* check = static_cast<QCheckBox*>(widget);
        QObject::connect(check, &QCheckBox::clicked, check, [box, check](bool on) {
            box->setChecked(on);
            const QSignalBlocker quiet(check);
            check->setChecked(box->Checked());
        });
    } else if (auto* radio = dynamic_cast<TRadioButton*>(&control)) {
        auto* button = static_cast<QRadioButton*>(widget);
        QObject::connect(button, &QRadioButton::clicked, button, [radio, button] {
            radio->setChecked(true);
            const QSignalBlocker quiet(button);
            button->setChecked(radio->Checked());
        });
    } else if (auto* button = dynamic_cast<TButton*>(&control)) {
        QObject::connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, widget,
                         [button] { button->Click(); });
    } else if (auto* combo = dynamic_cast<TComboBox*>(&control)) {
        auto* box = static_cast<QComboBox*>(widget);
        QObject::connect(box, &QComboBox::activated, box, [this, combo](int index) {
            combo->setItemIndex(index);
            showChoice(*combo);
        });
        QObject::connect(box->lineEdit(), &QLineEdit::textEdited, box,
                         [combo](const QString& text) { combo->setText(text.toStdString()); });
    } else if (auto* pages = dynamic_cast<TPageControl*>(&control)) {
        const auto choose = [this, pages](int index) {
            pages->setActivePageIndex(index);
            showActivePage(*pages);
        };
        if (auto* rows = dynamic_cast<TabRowPages*>(widget))
            QObject::connect(&rows->tabs(), &QButtonGroup::idClicked, widget, choose);
        else
            QObject::connect(static_cast<QTabWidget*>(widget), &QTabWidget::currentChanged, widget,
                             choose);
    } else if (auto* edit = dynamic_cast<TEdit*>(&control)) {
        QObject::connect(static_cast<QLineEdit*>(widget), &QLineEdit::textEdited, widget,
                         [edit](const QString& text) { edit->setText(text.toStdString()); });
    }
}

void FormView::buildMenu(TMainMenu& menu, QMenuBar* bar) {
    const auto bindAction = [this, bar](TControl& item, QAction* action) {
        actions_[&item] = action;
        action->setObjectName(qt(item.Name()));
        action->setEnabled(item.Enabled());
        action->setVisible(item.Visible());
        if (auto* clickable = dynamic_cast<TMenuItem*>(&item); clickable && item.Children().empty())
            QObject::connect(action, &QAction::triggered, bar, [clickable] { clickable->Click(); });
    };
    for (TControl* item : menu.Children()) {
        if (item->Children().empty()) {
            bindAction(*item, bar->addAction(qt(item->Caption())));
            continue;
        }
        QMenu* submenu = bar->addMenu(qt(item->Caption()));
        bindAction(*item, submenu->menuAction());
        for (TControl* subitem : item->Children())
            bindAction(*subitem, submenu->addAction(qt(subitem->Caption())));
    }
}

void FormView::controlChanged(const TControl& control, ControlProperty property) {
    if (QAction* action = actionOf(control)) {
        if (property == ControlProperty::Caption) action->setText(qt(control.Caption()));
        if (property == ControlProperty::Enabled) action->setEnabled(control.Enabled());
        if (property == ControlProperty::Visible) action->setVisible(control.Visible());
        return;
    }
    QWidget* widget = widgetOf(control);
    if (!widget) return;
    switch (property) {
    case ControlProperty::Caption:
        showCaption(control);
        break;
    case ControlProperty::Hint:
        widget->setToolTip(qt(control.Hint()));
        break;
    case ControlProperty::Enabled:
        widget->setEnabled(control.Enabled());
        break;
    case ControlProperty::Visible:
        showVisible(control);
        break;
    case ControlProperty::Items:
        showItems(control);
        showChoice(control);
        break;
    case ControlProperty::Checked:
    case ControlProperty::ItemIndex:
    case ControlProperty::Text:
    case ControlProperty::ActivePage:
        showChoice(control);
        break;
    case ControlProperty::ReadOnly:
        static_cast<QLineEdit*>(widget)->setReadOnly(static_cast<const TEdit&>(control).ReadOnly());
        break;
    case ControlProperty::SimpleText:
        static_cast<QLabel*>(widget)->setText(
            qt(static_cast<const TStatusBar&>(control).SimpleText()));
        break;
    case ControlProperty::LineAppended:
    case ControlProperty::LastLineChanged:
    case ControlProperty::LastLineRemoved:
    case ControlProperty::FirstLinesRemoved:
    case ControlProperty::LinesCleared:
        showMemo(static_cast<const TMemo&>(control), property);
        break;
    }
}

void FormView::showCaption(const TControl& control) {
    const QString caption = qt(control.Caption());
    QWidget* widget = widgetOf(control);
    if (&control == &form_) {
        if (window_) window_->setWindowTitle(caption);
        return;
    }
    if (const auto* page = dynamic_cast<const TTabSheet*>(&control)) {
        QWidget* pagesWidget = widgetOf(*page->Parent());
        if (auto* rows = dynamic_cast<TabRowPages*>(pagesWidget)) {
            if (QAbstractButton* tab = rows->tab(page->PageIndex())) tab->setText(caption);
        } else if (auto* tabs = dynamic_cast<QTabWidget*>(pagesWidget)) {
            tabs->setTabText(page->PageIndex(), caption);
        }
        return;
    }
    if (auto* group = dynamic_cast<QGroupBox*>(widget))
        group->setTitle(caption);
    else if (auto* button = dynamic_cast<QAbstractButton*>(widget))
        button->setText(caption);
    else if (auto* label = dynamic_cast<QLabel*>(widget);
             label && label->pixmap().isNull() && !dynamic_cast<const TStatusBar*>(&control))
        label->setText(caption);
}

void FormView::showVisible(const TControl& control) {
    if (const auto* page = dynamic_cast<const TTabSheet*>(&control)) {
        QWidget* pagesWidget = widgetOf(*page->Parent());
        if (auto* rows = dynamic_cast<TabRowPages*>(pagesWidget)) {
            if (QAbstractButton* tab = rows->tab(page->PageIndex()))
                tab->setVisible(control.Visible());
        } else if (auto* tabs = dynamic_cast<QTabWidget*>(pagesWidget)) {
            tabs->setTabVisible(page->PageIndex(), control.Visible());
        }
        return;
    }
    if (QWidget* widget = widgetOf(control)) widget->setVisible(control.Visible());
}

void FormView::radioItems(TRadioGroup& group) {
    auto* box = static_cast<QGroupBox*>(widgetOf(group));
    auto& buttons = itemButtons_[&group];
    for (QAbstractButton* button : buttons) delete button;
    buttons.clear();
    auto* grid = static_cast<QGridLayout*>(box->layout());
    const int count = static_cast<int>(group.Items().size());
    const int columns = std::max(group.Columns, 1);
    const int rows = (count + columns - 1) / columns;
    for (int i = 0; i < count; ++i) {
        auto* radio = new QRadioButton(qt(group.Items()[static_cast<size_t>(i)]), box);
        radio->setAutoExclusive(false);
        radio->setObjectName(qt(group.Name() + "." + std::to_string(i)));
        grid->addWidget(radio, i % rows, i / rows);
        QObject::connect(radio, &QRadioButton::clicked, radio, [this, &group, i] {
            group.setItemIndex(i);
            showChoice(group);
        });
        buttons.push_back(radio);
    }
}

void FormView::showItems(const TControl& control) {
    QWidget* widget = widgetOf(control);
    if (const auto* group = dynamic_cast<const TRadioGroup*>(&control)) {
        radioItems(const_cast<TRadioGroup&>(*group));
    } else if (const auto* combo = dynamic_cast<const TComboBox*>(&control)) {
        auto* box = static_cast<QComboBox*>(widget);
        const QSignalBlocker quiet(box);
        box->clear();
        for (const auto& item : combo->Items()) box->addItem(qt(item));
    } else if (const auto* list = dynamic_cast<const TListBox*>(&control)) {
        auto* items = static_cast<QListWidget*>(widget);
        items->clear();
        for (const auto& item : list->Items()) items->addItem(qt(item));
    } else if (const auto* memo = dynamic_cast<const TMemo*>(&control)) {
        auto* text = static_cast<QPlainTextEdit*>(widget);
        QString all;
        for (const auto& line : memo->Lines()) all += monitorText(line) + '\n';
        if (!all.isEmpty()) all.chop(1);
        text->setPlainText(all);
    }
}

// The state a user can change: what is ticked, chosen, typed or shown.
void FormView::showChoice(const TControl& control) {
    QWidget* widget = widgetOf(control);
    if (const auto* box = dynamic_cast<const TCheckBox*>(&control)) {
        auto* check = static_cast<QCheckBox*>(widget);
        const QSignalBlocker quiet(check);
        check->setChecked(box->Checked());
    } else if (const auto* radio = dynamic_cast<const TRadioButton*>(&control)) {
        auto* button = static_cast<QRadioButton*>(widget);
        const QSignalBlocker quiet(button);
        button->setChecked(radio->Checked());
    } else if (const auto* group = dynamic_cast<const TRadioGroup*>(&control)) {
        const auto& buttons = itemButtons_[&control];
        for (size_t i = 0; i < buttons.size(); ++i)
            buttons[i]->setChecked(static_cast<int>(i) == group->ItemIndex());
    } else if (const auto* combo = dynamic_cast<const TComboBox*>(&control)) {
        auto* box = static_cast<QComboBox*>(widget);
        const QSignalBlocker quiet(box);
        box->setCurrentIndex(combo->ItemIndex());
        if (box->currentText() != qt(combo->Text())) box->setEditText(qt(combo->Text()));
    } else if (const auto* edit = dynamic_cast<const TEdit*>(&control)) {
        auto* line = static_cast<QLineEdit*>(widget);
        if (line->text() != qt(edit->Text())) line->setText(qt(edit->Text()));
    } else if (const auto* pages = dynamic_cast<const TPageControl*>(&control)) {
        showActivePage(*pages);
    }
}

void FormView::showActivePage(const TPageControl& pages) {
    QWidget* widget = widgetOf(pages);
    if (auto* rows = dynamic_cast<TabRowPages*>(widget)) {
        rows->setCurrent(pages.ActivePageIndex());
    } else if (auto* tabs = dynamic_cast<QTabWidget*>(widget)) {
        const QSignalBlocker quiet(tabs);
        tabs->setCurrentIndex(pages.ActivePageIndex());
    }
}

// The monitor follows its lines one change at a time, so a long monitor is never
// copied; the view scrolls along when it was at the end.
void FormView::showMemo(const TMemo& memo, ControlProperty property) {
    auto* text = static_cast<QPlainTextEdit*>(widgetOf(memo));
    QTextDocument* document = text->document();
    const auto& lines = memo.Lines();
    QScrollBar* scroll = text->verticalScrollBar();
    const bool atEnd = scroll->value() == scroll->maximum();
    QTextCursor cursor(document);
    switch (property) {
    case ControlProperty::LineAppended:
        if (lines.size() == 1 && document->isEmpty())
            cursor.insertText(monitorText(lines.back()));
        else
            text->appendPlainText(monitorText(lines.back()));
        break;
    case ControlProperty::LastLineChanged:
        cursor.movePosition(QTextCursor::End);
        cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(monitorText(lines.back()));
        break;
    case ControlProperty::LastLineRemoved:
        cursor.movePosition(QTextCursor::End);
        cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
        if (document->blockCount() > 1)
            cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        break;
    case ControlProperty::FirstLinesRemoved: {
        const int surplus = document->blockCount() - static_cast<int>(lines.size());
        if (lines.empty()) {
            text->clear();
            break;
        }
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, surplus);
        cursor.removeSelectedText();
        break;
    }
    case ControlProperty::LinesCleared:
        text->clear();
        break;
    default:
        break;
    }
    if (atEnd) scroll->setValue(scroll->maximum());
}

} // namespace qorva::gui
