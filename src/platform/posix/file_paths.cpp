#include "posix/file_paths.h"

#include <sys/stat.h>

#include "posix/file_name_encoding.h"
#include "text/cp932.h"

namespace morvek::posix {

namespace {

bool IsSeparator(char16_t unit) { return unit == u'\\' || unit == u'/'; }

// Drops the trailing dots of a component that is not made of dots only.
void DropTrailingDots(std::u16string& component) {
  const auto last = component.find_last_not_of(u'.');
  if (last != std::u16string::npos) component.erase(last + 1);
}

}  // namespace

std::string MapFilePath(const char* name) {
  if (!name) return {};
  const std::u16string text = morvek::text::DecodeCp932(name);
  std::u16string path;
  std::u16string component;
  for (char16_t unit : text) {
    if (IsSeparator(unit)) {
      DropTrailingDots(component);
      path += component;
      path += u'/';
      component.clear();
    } else {
      component += unit;
    }
  }
  DropTrailingDots(component);
  path += component;
  return Utf8FromText(path);
}

std::string LastPathComponent(const std::string& path) {
  const auto end = path.find_last_not_of('/');
  if (end == std::string::npos) return path;
  const auto slash = path.rfind('/', end);
  const auto begin = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(begin, end - begin + 1);
}

bool IsReadOnlyFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 0222) == 0;
}

}  // namespace morvek::posix
