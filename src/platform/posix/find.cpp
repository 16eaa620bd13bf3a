// Looking one name up for FindFirstFileA: no wildcard is expanded, so a
// search finds the name itself or nothing.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "core/kernel_object.h"
#include "core/last_error.h"
#include "posix/errors.h"
#include "posix/file_name_encoding.h"
#include "posix/file_paths.h"
#include "win32_file.h"

namespace morvek::posix {

namespace {

// A finished search: it holds nothing, but its handle must be closed with
// FindClose like any search handle.
class FileSearch : public core::KernelObject {};

}  // namespace

}  // namespace morvek::posix

using namespace morvek::posix;
namespace core = morvek::core;

HANDLE FindFirstFileA(LPCSTR lpFileName, WIN32_FIND_DATAA* lpFindFileData) {
  if (!lpFileName || !lpFindFileData) {
    core::Fail(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const std::string path = MapFilePath(lpFileName);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    // Whatever part of the name is missing, the search found nothing.
    core::Fail(errno == ENOENT || errno == ENOTDIR ? ERROR_FILE_NOT_FOUND : ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }

  WIN32_FIND_DATAA found{};
  const bool folder = S_ISDIR(info.st_mode);
  found.dwFileAttributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  const auto size = folder ? 0ULL : static_cast<unsigned long long>(info.st_size);
  found.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  found.nFileSizeLow = static_cast<DWORD>(size);
  const std::string name = Cp932FromUtf8(LastPathComponent(path));
  std::memcpy(found.cFileName, name.data(), std::min(name.size(), sizeof found.cFileName - 1));
  *lpFindFileData = found;
  return core::RegisterHandle(std::make_shared<FileSearch>());
}

BOOL FindClose(HANDLE hFindFile) {
  if (!core::LookupHandleAs<FileSearch>(hFindFile)) return FALSE;
  return core::UnregisterHandle(hFindFile) ? TRUE : FALSE;
}
