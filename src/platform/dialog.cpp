#include "platform/dialog.h"

namespace platform {

void DDX_Check(DataExchange& dx, int id, int& value) {
  if (dx.m_bSaveAndValidate) {
    value = dx.m_window.GetItemCheck(id);
  } else {
    dx.m_window.SetItemCheck(id, value != 0 ? kChecked : kUnchecked);
  }
}

void DDX_Text(DataExchange& dx, int id, std::string& value) {
  if (dx.m_bSaveAndValidate) {
    value = dx.m_window.GetItemText(id);
  } else {
    dx.m_window.SetItemText(id, value);
  }
}

void DDX_Control(DataExchange& dx, int id, DialogItem& control) { control.Attach(dx.m_window, id); }

void Dialog::UpdateData(bool saveAndValidate) {
  if (m_window == nullptr) return;
  DataExchange dx(*m_window, saveAndValidate);
  DoDataExchange(dx);
}

void Dialog::EndDialog(int result) {
  if (m_window != nullptr) m_window->EndDialog(result);
}

bool Dialog::HandleInitDialog(DialogWindow& window) {
  m_window = &window;
  return OnInitDialog();
}

void Dialog::HandleCommand(int id, int notifyCode) {
  if (m_window == nullptr || OnCommand(id, notifyCode)) return;
  if (id == kIdOk) OnOK();
  if (id == kIdCancel) OnCancel();
}

bool Dialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void Dialog::OnOK() {
  UpdateData(true);
  EndDialog(kIdOk);
}

void Dialog::OnCancel() { EndDialog(kIdCancel); }

}  // namespace platform
