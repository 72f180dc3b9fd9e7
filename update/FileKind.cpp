#include "device/FilePath.h"
#include "update/FileKind.h"

#include <filesystem>
#include <system_error>

namespace varnok {

FileKind KindOfFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(FilePath(path), error);
  if (status.type() == std::filesystem::file_type::not_found) return FileKind::Missing;
  if (error) return FileKind::Unknown;
  return std::filesystem::is_regular_file(status) ? FileKind::Regular : FileKind::Other;
}

}  // namespace varnok
