// The small dialog framework the program is written against: a modal dialog on a resource
// template whose members are bound to its controls by data exchange and whose commands reach
// the handlers of the derived dialog. It is portable; platform/win32/win32_dialog_host.h runs
// it on a real window, and a test runs it on an in-memory one.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dialog_window.h"
#include "platform/progress_bar.h"

namespace platform {

// A control of a dialog, bound to its window by DDX_Control.
class DialogItem {
 public:
  void Attach(DialogWindow& window, int id) {
    m_window = &window;
    m_id = id;
  }
  bool IsAttached() const { return m_window != nullptr; }
  int Id() const { return m_id; }
  // Both do nothing before the control is bound.
  void ShowWindow(bool show) {
    if (m_window != nullptr) m_window->ShowItem(m_id, show);
  }
  void EnableWindow(bool enable) {
    if (m_window != nullptr) m_window->EnableItem(m_id, enable);
  }

 protected:
  DialogWindow* m_window = nullptr;
  int m_id = 0;
};

using Button = DialogItem;

// A progress bar control; its messages go to the control's window.
class ProgressControl final : public DialogItem, public ProgressBar {
 public:
  void Send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    if (m_window != nullptr) m_window->SendItemMessage(m_id, message, wParam, lParam);
  }
};

// One transfer between a dialog's members and its controls, in the direction asked.
class DataExchange {
 public:
  DataExchange(DialogWindow& window, bool saveAndValidate) : m_window(window), m_bSaveAndValidate(saveAndValidate) {}

  DialogWindow& m_window;
  // True: controls into members. False: members into controls.
  const bool m_bSaveAndValidate;
};

// A check box and its tick state (nonzero is ticked).
void DDX_Check(DataExchange& dx, int id, int& value);
// A control's text and a string.
void DDX_Text(DataExchange& dx, int id, std::string& value);
// A control and the object that stands for it.
void DDX_Control(DataExchange& dx, int id, DialogItem& control);

class Dialog {
 public:
  explicit Dialog(int templateId) : m_templateId(templateId) {}
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;
  virtual ~Dialog() = default;

  int TemplateId() const { return m_templateId; }

  // Moves every bound value at once: controls into members when `saveAndValidate`,
  // members into controls otherwise. Only while the window is up.
  void UpdateData(bool saveAndValidate = true);
  void EndDialog(int result);

  // Called by whatever runs the dialog's window.
  bool HandleInitDialog(DialogWindow& window);
  void HandleCommand(int id, int notifyCode);
  void HandleDestroy() { m_window = nullptr; }

 protected:
  virtual void DoDataExchange(DataExchange& dx) = 0;
  // Moves the members into the controls; true lets the first control take the focus.
  virtual bool OnInitDialog();
  // Moves the controls into the members and ends with the OK result.
  virtual void OnOK();
  // Ends with the cancel result.
  virtual void OnCancel();
  // The derived dialog's own commands; false when it does not handle this one.
  virtual bool OnCommand(int id, int notifyCode) = 0;

  DialogWindow& Window() { return *m_window; }
  WindowHandle Handle() const { return m_window != nullptr ? m_window->Handle() : kNoWindow; }

 private:
  const int m_templateId;
  DialogWindow* m_window = nullptr;
};

}  // namespace platform
