// The demo's helper: drives the setup dialog of a running SetUp.exe as a user would.
//   setup_driver wait      ends (0) once the dialog is up, idle and painted; 1 when it does not come
//   setup_driver install   clicks the install button and ends (0) while the message that closes
//                          the install is up, after printing its caption and text
//   setup_driver answer    answers that message with its first button and ends (0) once the
//                          program has ended
//   setup_driver uninstall-box   waits for a message of the uninstall, prints its caption and
//                          text, answers it with its first button (Yes, or OK) and ends (0) once
//                          it has gone
//   setup_driver measure   prints, as the screen shows the dialog, the width of its client area and
//                          of its logo and the height of its title's letters; cancels the dialog and
//                          ends (0) once the program has ended; 1 when the letters of a check box or
//                          of a text reach the right or bottom edge of their control (do not fit it)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kPatienceMs = 30000;
// "V-结构工具箱安装", the dialog's caption, in the system's code page (GBK).
const char kCaption[] = "V-\xBD\xE1\xB9\xB9\xB9\xA4\xBE\xDF\xCF\xE4\xB0\xB2\xD7\xB0";

// "V-结构工具箱卸载", the caption of the uninstall's messages and of its progress dialog.
const char kUninstallCaption[] = "V-\xBD\xE1\xB9\xB9\xB9\xA4\xBE\xDF\xCF\xE4\xD0\xB6\xD4\xD8";

int Fail(const char* message) {
  std::fprintf(stderr, "setup_driver: %s\n", message);
  return 1;
}

std::string TextOf(HWND window) {
  std::vector<char> text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  return text.data();
}

// The first visible top-level window owned by `owner`, or null.
HWND OwnedWindow(HWND owner) {
  for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
    if (GetWindow(window, GW_OWNER) == owner && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

template <typename Find>
HWND Await(Find find) {
  for (DWORD waited = 0; waited < kPatienceMs; waited += 50, Sleep(50)) {
    if (const HWND window = find()) return window;
  }
  return nullptr;
}

// Prints the message box's caption and its longest static text (the message itself).
void PrintMessage(HWND box) {
  std::string message;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    char kind[16] = {};
    GetClassNameA(child, kind, sizeof kind);
    if (lstrcmpiA(kind, "Static") == 0 && TextOf(child).size() > message.size()) message = TextOf(child);
  }
  std::printf("%s\n%s\n", TextOf(box).c_str(), message.c_str());
}

// Clicks a message box's first button.
void AnswerWithFirstButton(HWND box, HWND button) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// A message of the uninstall: a visible dialog with its caption, buttons and no progress bar.
HWND UninstallMessage() {
  for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", kUninstallCaption); window != nullptr;
       window = FindWindowExA(nullptr, window, "#32770", kUninstallCaption)) {
    if (IsWindowVisible(window) && FindWindowExA(window, nullptr, "msctls_progress32", nullptr) == nullptr &&
        FindWindowExA(window, nullptr, "Button", nullptr) != nullptr) {
      return window;
    }
  }
  return nullptr;
}

int AnswerUninstallMessage() {
  const HWND box = Await(UninstallMessage);
  if (box == nullptr) return Fail("no message of the uninstall came");
  PrintMessage(box);
  AnswerWithFirstButton(box, FindWindowExA(box, nullptr, "Button", nullptr));
  return Await([&] { return IsWindow(box) ? nullptr : box; }) != nullptr ? 0 : Fail("the message did not go");
}

// A window's client area as the screen shows it: one colour a pixel, the top row first.
struct Picture {
  int width = 0, height = 0;
  std::vector<DWORD> pixels;
  DWORD At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; }
};

Picture TakePicture(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  Picture picture{client.right, client.bottom,
                  std::vector<DWORD>(static_cast<std::size_t>(client.right) * client.bottom)};
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, picture.width, picture.height);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  if (!BitBlt(memory, 0, 0, picture.width, picture.height, screen, origin.x, origin.y, SRCCOPY) ||
      GetDIBits(memory, bitmap, 0, picture.height, picture.pixels.data(), &info, DIB_RGB_COLORS) != picture.height) {
    picture.pixels.clear();
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

// Where a control stands in its dialog's client area.
RECT PlaceOf(HWND control) {
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// The first and the last column (or row) of `place` that hold a pixel of ink; -1, -1 for none.
template <typename Ink>
std::pair<int, int> Extent(const Picture& picture, const RECT& place, bool columns, Ink ink) {
  std::pair<int, int> extent{-1, -1};
  for (int y = std::max(0L, place.top); y < std::min(place.bottom, LONG{picture.height}); ++y) {
    for (int x = std::max(0L, place.left); x < std::min(place.right, LONG{picture.width}); ++x) {
      if (!ink(picture.At(x, y))) continue;
      const int at = columns ? x : y;
      if (extent.first < 0) extent.first = at;
      extent = {std::min(extent.first, at), std::max(extent.second, at)};
    }
  }
  return extent;
}

int Length(std::pair<int, int> extent) { return extent.first < 0 ? 0 : extent.second - extent.first + 1; }

// A visible check box or static text: a control that writes on the dialog's face.
bool WritesOnFace(HWND control) {
  char kind[16] = {};
  GetClassNameA(control, kind, sizeof kind);
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  const bool text = lstrcmpiA(kind, "Static") == 0
                        ? (style & SS_TYPEMASK) <= SS_RIGHT
                        : lstrcmpiA(kind, "Button") == 0 && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
  return text && IsWindowVisible(control);
}

// Prints the dialog's measures as the screen shows them (see the top), then cancels it.
int Measure(HWND dialog) {
  const Picture picture = TakePicture(dialog);
  if (picture.pixels.empty()) return Fail("the screen could not be read");
  const auto ink = [face = picture.At(2, 2)](DWORD pixel) { return pixel != face; };
  const RECT header{0, 0, picture.width, PlaceOf(GetDlgItem(dialog, 1021)).bottom};  // down to the bitness line
  const int logo = Length(Extent(picture, header, true, [](DWORD pixel) { return pixel == 0xFFFFFF; }));
  std::printf("%d %d %d\n", picture.width, logo,
              Length(Extent(picture, PlaceOf(GetDlgItem(dialog, 1013)), false, ink)));
  int status = 0;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    const RECT place = PlaceOf(child);
    // Cut at its right edge, or wrapped onto a line cut at its bottom.
    if (WritesOnFace(child) && (Extent(picture, place, true, ink).second >= place.right - 1 ||
                                Extent(picture, place, false, ink).second >= place.bottom - 1)) {
      std::fprintf(stderr, "control %d: its text reaches its edge\n", GetDlgCtrlID(child));
      status = 1;
    }
  }
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string verb = argc == 2 ? argv[1] : "";
  if (verb == "uninstall-box") return AnswerUninstallMessage();
  if (verb != "wait" && verb != "install" && verb != "answer" && verb != "measure") {
    return Fail("usage: setup_driver wait|install|answer|uninstall-box|measure");
  }
  const HWND dialog = Await([] {
    const HWND found = FindWindowA(nullptr, kCaption);
    return found != nullptr && IsWindowVisible(found) ? found : nullptr;
  });
  if (dialog == nullptr) return Fail("the setup dialog did not appear");
  DWORD processId = 0;
  GetWindowThreadProcessId(dialog, &processId);
  const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
  if (process == nullptr) return Fail("the setup program cannot be watched");
  int status = 0;
  if (verb == "wait") {
    WaitForInputIdle(process, kPatienceMs);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  } else if (verb == "measure") {
    status = Measure(dialog);
    if (WaitForSingleObject(process, kPatienceMs) != WAIT_OBJECT_0) status = Fail("the setup program did not end");
  } else if (verb == "install") {
    PostMessageA(GetDlgItem(dialog, 1022), BM_CLICK, 0, 0);
    const HWND box = Await([&] { return OwnedWindow(dialog); });
    if (box == nullptr) {
      status = Fail("no message came after the install button");
    } else {
      PrintMessage(box);
      RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
  } else {
    const HWND box = OwnedWindow(dialog);
    const HWND button = box != nullptr ? FindWindowExA(box, nullptr, "Button", nullptr) : nullptr;
    if (button == nullptr) {
      status = Fail("no message to answer");
    } else {
      AnswerWithFirstButton(box, button);
      if (WaitForSingleObject(process, kPatienceMs) != WAIT_OBJECT_0) status = Fail("the setup program did not end");
    }
  }
  CloseHandle(process);
  return status;
}
