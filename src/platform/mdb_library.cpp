#include "platform/mdb_library.h"

#include <cstdlib>
#include <mutex>

namespace tomeferry::platform::mdb {

void useGbkTexts() {
  static std::once_flag once;
  std::call_once(once, [] { setenv("MDBICONV", "GBK", 1); });
}

}  // namespace tomeferry::platform::mdb
