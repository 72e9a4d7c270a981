#pragma once
// Hands an address to the desktop, which opens it with the user's preferred program.
#include <string>

namespace tomeferry::platform {

class Opener {
 public:
  virtual ~Opener() = default;
  // `address` is GBK. Returns at once; the result of the open is not reported.
  virtual void open(const std::string& address) = 0;
};

// Starts xdg-open with the address (as UTF-8) as its one argument, detached and without a shell.
class DesktopOpener final : public Opener {
 public:
  void open(const std::string& address) override;
};

// True for http://, https:// and ftp:// addresses, letter case ignored. Only those
// may reach the opener: a catalogue or notice page from the web must never make the
// program open a local file.
bool isWebAddress(const std::string& address);

// Opens `address` through `opener` when it is a web address; anything else is dropped silently.
void openWebAddress(Opener& opener, const std::string& address);

}  // namespace tomeferry::platform
