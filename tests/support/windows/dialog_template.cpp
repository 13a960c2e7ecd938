#include "dialog_template.h"

#include <cstring>


namespace e2e {
namespace {

// Reads the fields of a template in order, never past its end.
class TemplateReader {
 public:
  TemplateReader(const BYTE* data, std::size_t size) : m_data(data), m_size(size) {}

  bool Failed() const { return m_failed; }

  template <typename Value>
  Value Read() {
    Value value{};
    if (m_offset + sizeof value > m_size) {
      m_failed = true;
      return value;
    }
    std::memcpy(&value, m_data + m_offset, sizeof value);
    m_offset += sizeof value;
    return value;
  }

  RECT ReadRect() {
    const short x = Read<short>(), y = Read<short>(), cx = Read<short>(), cy = Read<short>();
    return RECT{x, y, x + cx, y + cy};
  }

  // A zero-terminated UTF-16 text.
  std::wstring ReadText() {
    std::wstring text;
    for (WCHAR ch = Read<WCHAR>(); ch != 0 && !m_failed; ch = Read<WCHAR>()) text += ch;
    return text;
  }

  // A text, or 0xFFFF and an ordinal in its place.
  std::wstring ReadTextOrOrdinal(int& ordinal) {
    ordinal = 0;
    if (m_offset + 2 <= m_size && m_data[m_offset] == 0xFF && m_data[m_offset + 1] == 0xFF) {
      Read<WORD>();
      ordinal = Read<WORD>();
      return {};
    }
    return ReadText();
  }

  void AlignToDword() { m_offset = (m_offset + 3) & ~static_cast<std::size_t>(3); }
  void Skip(std::size_t bytes) { m_offset += bytes; }

 private:
  const BYTE* m_data;
  std::size_t m_size;
  std::size_t m_offset = 0;
  bool m_failed = false;
};

// The classes by their usual names, whether the template gives them by ordinal or by a name
// in any case.
std::wstring ClassName(const std::wstring& name, int ordinal) {
  for (const auto& [predefined, known] :
       {std::pair{0x80, L"Button"}, std::pair{0x81, L"Edit"}, std::pair{0x82, L"Static"},
        std::pair{0, L"msctls_progress32"}}) {
    if (ordinal != 0 ? ordinal == predefined : lstrcmpiW(name.c_str(), known) == 0) return known;
  }
  return ordinal != 0 ? L"#" + std::to_wstring(ordinal) : name;
}

TemplateItem ReadItem(TemplateReader& reader) {
  reader.AlignToDword();
  TemplateItem item;
  reader.Read<DWORD>();  // help id
  item.exStyle = reader.Read<DWORD>();
  item.style = reader.Read<DWORD>();
  item.rect = reader.ReadRect();
  item.id = static_cast<int>(reader.Read<DWORD>());
  int classOrdinal = 0;
  const std::wstring className = reader.ReadTextOrOrdinal(classOrdinal);
  item.windowClass = ClassName(className, classOrdinal);
  item.text = reader.ReadTextOrOrdinal(item.textOrdinal);
  reader.Skip(reader.Read<WORD>());  // creation data
  return item;
}

std::optional<DialogTemplate> Parse(TemplateReader reader) {
  DialogTemplate dialog;
  if (reader.Read<WORD>() != 1 || reader.Read<WORD>() != 0xFFFF) return std::nullopt;
  reader.Read<DWORD>();  // help id
  dialog.exStyle = reader.Read<DWORD>();
  dialog.style = reader.Read<DWORD>();
  const WORD itemCount = reader.Read<WORD>();
  dialog.rect = reader.ReadRect();
  int ordinal = 0;
  reader.ReadTextOrOrdinal(ordinal);  // menu
  reader.ReadTextOrOrdinal(ordinal);  // window class
  dialog.caption = reader.ReadText();
  if (dialog.style & DS_SETFONT) {
    dialog.pointSize = reader.Read<WORD>();
    reader.Read<WORD>();  // weight
    reader.Read<BYTE>();  // italic
    reader.Read<BYTE>();  // character set
    dialog.typeface = reader.ReadText();
  }
  for (WORD index = 0; index < itemCount && !reader.Failed(); ++index) {
    dialog.items.push_back(ReadItem(reader));
  }
  if (reader.Failed()) return std::nullopt;
  return dialog;
}

// The program file loaded as data only, freed at the end.
class DataModule {
 public:
  explicit DataModule(const std::string& path)
      : m_module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~DataModule() {
    if (m_module != nullptr) FreeLibrary(m_module);
  }
  DataModule(const DataModule&) = delete;
  DataModule& operator=(const DataModule&) = delete;
  HMODULE Get() const { return m_module; }

 private:
  HMODULE m_module;
};

}  // namespace

std::optional<DialogTemplate> ReadDialogTemplate(const std::string& programPath, int templateId) {
  const DataModule program(programPath);
  if (program.Get() == nullptr) return std::nullopt;
  const HRSRC resource =
      FindResourceA(program.Get(), MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));  // RT_DIALOG
  const HGLOBAL loaded = resource != nullptr ? LoadResource(program.Get(), resource) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return std::nullopt;
  return Parse(TemplateReader(static_cast<const BYTE*>(data),
                              SizeofResource(program.Get(), resource)));
}

}  // namespace e2e
