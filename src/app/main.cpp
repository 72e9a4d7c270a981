// Tomeferry's entry: the program directory, the main window and its start order.
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <exception>
#include <new>
#include <optional>

#include "platform/http_client.h"
#include "platform/opener.h"
#include "platform/program_directory.h"
#include "ui/fatal_error.h"
#include "ui/main_window.h"
#include "ui/skin_engine.h"
#include "ui/startup_ui.h"
#include "ui/window_icons.h"
#include "update/refresh_flag.h"
#include "update/startup_check.h"

#ifndef TOMEFERRY_NOTICE_URL
#error "TOMEFERRY_NOTICE_URL must name the update notice page"
#endif

// A failed allocation ends the program with a report that names the size asked for; the
// library's own operator new could only say that something failed.
void* operator new(std::size_t size) {
  for (;;) {
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    if (std::new_handler handler = std::get_new_handler()) {
      handler();
      continue;
    }
    tomeferry::ui::failFatally(tomeferry::ui::allocationFailedMessage(size));
  }
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

int main(int argc, char* argv[]) {
  using namespace tomeferry;
  QApplication app(argc, argv);
  QApplication::setWindowIcon(ui::programIcon());

  // Every file is named from the program's own folder, wherever it was started from.
  const std::string programDir = platform::programDirectory();
  if (chdir(programDir.c_str()) != 0) {
    // Files are addressed by full paths; a folder we cannot enter changes nothing else.
  }

  const std::string noticeUrl = TOMEFERRY_NOTICE_URL;
  platform::DesktopOpener opener;
  ui::MainWindowContext context{
      programDir, opener, [&programDir] { ui::attachSkinEngine(programDir); },
      [&](QWidget&) {
        ui::QtStartupUi startupUi(noticeUrl, programDir);
        update::StartupCheckContext check{platform::processHttpClient(), opener, startupUi,
                                          noticeUrl, programDir};
        update::runStartupCheck(check);
        return update::refreshDoneFlag().load(std::memory_order_acquire) == update::kRefreshDone;
      }};

  std::optional<ui::MainWindow> window;
  try {
    window.emplace(std::move(context));
  } catch (const std::exception&) {
    ui::failFatally(ui::windowCreationFailedMessage());
  }
  window->handleCreated();
  window->show();
  QApplication::exec();
  return 0;
}
