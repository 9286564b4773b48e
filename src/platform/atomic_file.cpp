#include "platform/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace twn::platform {

TAtomicFile::~TAtomicFile() {
  fd_.Reset();
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

TError TAtomicFile::Create(const std::string& target, std::string_view prefix, mode_t mode) {
  target_ = target;
  const std::string base = std::string(ParentFolder(target)).append(prefix);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_ = base + RandomName(6);
    fd_ = TUniqueFd(
        ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (fd_.Valid()) return 0;
    if (errno != EEXIST) break;
  }
  const TError error = errno;
  temp_.clear();
  return error;
}

TError TAtomicFile::Commit(bool durable) {
  TError error = durable && ::fsync(fd_.Get()) != 0 ? errno : 0;
  if (const TError e = fd_.Close(); error == 0) error = e;
  if (error == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) error = errno;
  if (error != 0) return error;  // the destructor removes the temporary file
  temp_.clear();
  if (durable) {
    const std::string folder(ParentFolder(target_));
    TUniqueFd dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid()) ::fsync(dir.Get());
  }
  return 0;
}

}  // namespace twn::platform
