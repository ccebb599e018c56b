#pragma once
// The windows as the desktop shows them: a form shown modally until it is closed, the
// file dialogs and a message box. Without a window (a headless run, most tests) nothing
// is shown: a modal form returns at once and the file dialogs are cancelled.
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace qorva {

class TForm;

// A file dialog's filter in the "Text file *.txt|*.txt|All files *.*|*.*" form, and the
// row (1-based) shown first.
struct FileFilter {
    std::string filter;
    int index = 1;
};

class WindowSystem {
  public:
    virtual ~WindowSystem() = default;
    // Shows form modally; returns when it is closed.
    virtual void showModal(TForm& form) = 0;
    // Closes a shown form: a modal one returns, the main window ends the program.
    virtual void close(TForm& form) = 0;
    // The file the user chose to save to, or nothing when the dialog was cancelled.
    virtual std::optional<std::string> askSaveFileName(const FileFilter& filter,
                                                       const std::string& defaultExtension) = 0;
    // The file the user chose to open, starting in initialDirectory.
    virtual std::optional<std::string> askOpenFileName(const FileFilter& filter,
                                                       const std::string& initialDirectory) = 0;
    virtual void showMessage(const std::string& text) = 0;
};

// No window: every dialog is cancelled; messages and closes are kept for tests.
class NoWindows : public WindowSystem {
  public:
    void showModal(TForm& form) override { shownModal.push_back(&form); }
    void close(TForm& form) override { closed.push_back(&form); }
    std::optional<std::string> askSaveFileName(const FileFilter& filter,
                                               const std::string&) override {
        return answer(filter);
    }
    std::optional<std::string> askOpenFileName(const FileFilter& filter,
                                               const std::string&) override {
        return answer(filter);
    }
    void showMessage(const std::string& text) override { messages.push_back(text); }

    // What the next file dialogs answer, in order; empty: cancelled.
    std::deque<std::string> fileAnswers;
    std::vector<FileFilter> filtersAsked;
    std::vector<TForm*> shownModal, closed;
    std::vector<std::string> messages;

  private:
    std::optional<std::string> answer(const FileFilter& filter) {
        filtersAsked.push_back(filter);
        if (fileAnswers.empty()) return std::nullopt;
        std::string file = fileAnswers.front();
        fileAnswers.pop_front();
        return file;
    }
};

} // namespace qorva
