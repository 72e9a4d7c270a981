#include "platform/opener.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "platform/text_encoding.h"

namespace tomeferry::platform {

namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool isWebAddress(const std::string& address) {
  return startsWithIgnoringCase(address, "http://") || startsWithIgnoringCase(address, "https://") ||
         startsWithIgnoringCase(address, "ftp://");
}

void openWebAddress(Opener& opener, const std::string& address) {
  if (isWebAddress(address)) opener.open(address);
}

void DesktopOpener::open(const std::string& address) {
  // Everything the children need is prepared before forking: between fork and exec only
  // async-signal-safe calls are allowed, as other threads may hold the allocator's locks.
  const std::string utf8 = gbkToUtf8(address);
  char program[] = "xdg-open";
  char* const argv[] = {program, const_cast<char*>(utf8.c_str()), nullptr};

  // Two forks: the intermediate child exits at once and is reaped here, so the launcher is
  // adopted by init and never becomes a zombie of ours, and we never wait on the browser.
  const pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    const pid_t launcher = fork();
    if (launcher == 0) {
      setsid();
      execvp(program, argv);
      _exit(127);
    }
    _exit(launcher < 0 ? 1 : 0);
  }
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace tomeferry::platform
