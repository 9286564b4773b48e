#pragma once
// File services in the shape the engine is written against: an attribute word, 64-bit sizes,
// file times, and errno values for errors (0 = success).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/time.h"

namespace twn::platform {

inline constexpr char kSep = '/';

inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
/// A symbolic link recorded as itself (a scan with links kept); never set on a file or folder.
inline constexpr uint32_t kAttrLink = 0x08;
inline constexpr uint32_t kAttrNormal = 0x80;
/// What GetAttributes returns for a path that cannot be queried.
inline constexpr uint32_t kInvalidAttributes = 0xFFFFFFFF;

/// What a copy takes from what it copies besides the data.
struct TCarriedStatus {
  TFileTime time = 0;  // last write
  uint32_t mode = 0;   // permission bits, st_mode & 07777
  uint32_t uid = 0;
  uint32_t gid = 0;
};

/// Names of the temporary files a copy writes beside its target (the prefix and six random
/// characters). They are the program's own, never the user's: a scan does not record them.
inline constexpr std::string_view kCopyTempPrefix = ".twn~";
/// The random part of the program's temporary names.
inline constexpr std::string_view kRandomNameAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
inline constexpr size_t kCopyTempRandomLength = 6;

/// `count` characters of kRandomNameAlphabet, unpredictable as long as the system has random
/// bytes to give; without them the name still differs from call to call and process to process.
std::string RandomName(size_t count);
/// A name a copy gives its temporary file: the prefix and six characters of the alphabet.
bool IsCopyTempName(std::string_view name);

/// errno value; 0 = success.
using TError = int;

/// The attribute word of a file or folder's stat mode and name (DESIGN: hidden = leading dot).
uint32_t AttributesFromMode(uint32_t st_mode, std::string_view name);

/// kInvalidAttributes when the path does not exist or cannot be queried. Links are not followed.
uint32_t GetAttributes(const std::string& path);
/// Read-only clears the owner write bit, anything else (normal) sets it; other bits are ignored.
TError SetAttributes(const std::string& path, uint32_t attributes);

/// A regular file (not a folder) exists at the path.
bool FileExists(const std::string& path);
/// A folder exists at the path (following links, as a user's path may well be a link).
bool DirectoryExists(const std::string& path);

TError DeleteFile(const std::string& path);

/// The system's message for an error code.
std::string ErrorText(TError error);
/// A network file system, a user-space one, or an optical disc: listing it from two threads
/// at once only adds waiting. `type` is statfs's f_type.
bool IsSlowFileSystemType(int64_t type);
/// Whether the folder (or, if it is missing, its nearest existing parent) lies on one.
bool OnSlowFileSystem(const std::string& path);

/// The path with every link and "." or ".." resolved, without a trailing separator. For a path
/// that does not exist (yet), the part that exists is resolved and the rest appended as given.
std::string RealPath(std::string_view path);

/// `inner` lies below `outer` (both as RealPath gives them): the part of `inner` after `outer`
/// and its separator, or an empty view when it does not lie below.
std::string_view PathBelow(std::string_view inner, std::string_view outer);

/// The folder part of a path, up to and including its last separator; empty when it has none.
std::string_view ParentFolder(std::string_view path);
/// The last component of a path once one trailing separator is dropped.
std::string_view LastComponent(std::string_view path);
/// path with exactly one trailing separator (the root "/" stays "/").
std::string IncludeTrailingSeparator(std::string_view path);
/// The path without separators at its end; "/" stays as it is.
std::string ExcludeTrailingSeparator(std::string path);

}  // namespace twn::platform
