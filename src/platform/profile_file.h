#pragma once
// Private-profile (INI) files: "[section]" lines and "key=value" lines, in GBK.
#include <string>

namespace tomeferry::platform {

// Value of `key` in `section` of the file at `path`, or "" when the file, section or key is
// missing. Names match regardless of ASCII letter case; blanks around the value are removed
// and one pair of enclosing quotes is dropped; at most 10239 bytes are returned.
std::string readProfileString(const std::string& path, const std::string& section,
                              const std::string& key);

// Sets `key` in `section` to `value`, creating the file, or the section at its end, when
// missing; every other line stays as it was. The file is replaced whole (temporary file,
// then rename), so a crash never leaves it half written. A name or value holding a line break
// or a zero byte is refused. Returns whether it succeeded.
bool writeProfileString(const std::string& path, const std::string& section,
                        const std::string& key, const std::string& value);

}  // namespace tomeferry::platform
