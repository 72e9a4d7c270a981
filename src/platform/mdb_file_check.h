#pragma once
#include <string>

namespace tomeferry::platform::mdb {

// True when `path` is a regular file that starts like an Access (Jet or ACE) database and
// is made of whole pages, enough of them to hold the system catalogue. mdbtools trusts
// its input: a directory, a FIFO, an empty or cut-off file must never reach it.
bool plausibleAccessFile(const std::string& path);

}  // namespace tomeferry::platform::mdb
