#include "platform/win32/win32_version_resources.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/wide_text.h"

namespace ks {

namespace {

// An entry of an icon group resource (GRPICONDIRENTRY, 14 bytes): the
// image's header fields, then its size and the id of its RT_ICON resource.
constexpr std::size_t kGroupHeaderBytes = 6;
constexpr std::size_t kGroupEntryBytes = 14;
// An icon file: a 6-byte header, 16 bytes per image entry, then the image.
constexpr std::size_t kIconHeaderBytes = 6;
constexpr std::size_t kIconEntryBytes = 16;

// A program file loaded for its resources only; freed when the object goes.
class ResourceModule {
 public:
  explicit ResourceModule(const std::wstring& path)
      : module_(LoadLibraryExW(path.c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~ResourceModule() {
    if (module_) FreeLibrary(module_);
  }
  ResourceModule(const ResourceModule&) = delete;
  ResourceModule& operator=(const ResourceModule&) = delete;

  HMODULE get() const { return module_; }
  // The bytes of a resource; empty when it is missing.
  std::basic_string_view<std::uint8_t> resource(LPCWSTR name, LPCWSTR type) const {
    const HRSRC found = FindResourceW(module_, name, type);
    const HGLOBAL loaded = found ? LoadResource(module_, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    return {static_cast<const std::uint8_t*>(bytes), SizeofResource(module_, found)};
  }

 private:
  HMODULE module_;
};

BOOL CALLBACK takeFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  auto& first = *reinterpret_cast<std::wstring*>(found);
  // A numbered resource is kept as "#n", the form FindResourceW takes too.
  first = IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : name;
  return FALSE;
}

}  // namespace

bool Win32VersionResources::readVersionInfo(const std::string& path,
                                            std::vector<std::uint8_t>& block) {
  const auto wide = widen(path);
  if (!wide) return false;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(wide->c_str(), &ignored);
  if (size == 0) return false;
  std::vector<std::uint8_t> data(size, 0);
  if (!GetFileVersionInfoW(wide->c_str(), 0, size, data.data())) return false;
  block = std::move(data);
  return true;
}

bool Win32VersionResources::readFirstIcon(const std::string& path,
                                          std::vector<std::uint8_t>& iconFile) {
  const auto wide = widen(path);
  if (!wide) return false;
  const ResourceModule module(*wide);
  std::wstring groupName;
  if (!module.get()) return false;
  EnumResourceNamesW(module.get(), RT_GROUP_ICON, takeFirstName,
                     reinterpret_cast<LONG_PTR>(&groupName));
  if (groupName.empty()) return false;
  const auto group = module.resource(groupName.c_str(), RT_GROUP_ICON);
  if (group.size() < kGroupHeaderBytes + kGroupEntryBytes) return false;
  const std::uint8_t* entry = group.data() + kGroupHeaderBytes;
  const WORD imageId = static_cast<WORD>(entry[12] | (entry[13] << 8));
  const auto image = module.resource(MAKEINTRESOURCEW(imageId), RT_ICON);
  if (image.empty()) return false;
  // One image: the group's header fields, its size, and its offset.
  std::vector<std::uint8_t> file(kIconHeaderBytes + kIconEntryBytes);
  file[2] = 1;  // type: icon
  file[4] = 1;  // one image
  std::memcpy(&file[kIconHeaderBytes], entry, 8);
  const auto size = static_cast<std::uint32_t>(image.size());
  const auto offset = static_cast<std::uint32_t>(kIconHeaderBytes + kIconEntryBytes);
  for (int i = 0; i < 4; ++i) {
    file[kIconHeaderBytes + 8 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    file[kIconHeaderBytes + 12 + i] = static_cast<std::uint8_t>(offset >> (8 * i));
  }
  file.insert(file.end(), image.begin(), image.end());
  iconFile = std::move(file);
  return true;
}

}  // namespace ks
