#include "library/file_system.h"

#include "library/text.h"

namespace valmora {

bool FileExists(const FileSystem& fs, const std::wstring& path) {
  const std::wstring stripped = StripQuotes(path);
  return !stripped.empty() && fs.FindsPlainFile(stripped);
}

}  // namespace valmora
