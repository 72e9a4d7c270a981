// Feeds the catalogue store thousands of damaged copies of a catalogue file and reports
// every copy that crashes or hangs the process. Each copy is read in a child process
// (isCatalogueFile, a category listing, both searches, an address lookup), so a crash
// costs only that child. Too slow for the test suite; run it after changing the driver,
// also under valgrind (it follows the children) or built with -fsanitize=address:
//
//   ninja catalogue_damage_probe
//   catalogue_damage_probe tests/data/catalogue.mdb /tmp/probe.mdb 1500 [every-byte]
//
// Damage: the file cut at every page boundary; each page zeroed, filled with 0xFF or
// with random bytes; random bytes changed across the file or in one page; 16- and 32-bit
// fields set to edge values in the pages mdbtools interprets; with "every-byte", every
// header byte of those pages set to several telling values. A crashing copy is kept
// beside the probe file for a closer look.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/address_lookup.h"
#include "catalogue/book_listing.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/statements.h"
#include "platform/text_encoding.h"
#include "test_files.h"

namespace {

using namespace tomeferry;

constexpr std::size_t kPage = 4096;
constexpr unsigned kSecondsPerCopy = 20;

struct CountingList : catalogue::BookList {
  void removeAllRows() override {}
  void appendRows(std::vector<catalogue::BookRow>) override {}
};

using testing::readFile;
using testing::writeFile;

void useCatalogue(const std::string& path) {
  auto gbk = [](const char* utf8) { return platform::utf8ToGbk(utf8); };
  CountingList list;
  catalogue::isCatalogueFile(path);
  catalogue::listBooks(path, catalogue::categoryStatement(gbk("玄幻")), list);
  catalogue::listBooks(path, catalogue::titleStatement(gbk("斗破苍穹")), list);
  catalogue::listBooks(path, catalogue::authorStatement(gbk("佚名")), list);
  catalogue::lookupDownloadAddress(path, gbk("星辰变"), gbk("我吃西红柿"));
}

class Probe {
 public:
  explicit Probe(std::string path) : path_(std::move(path)) {}

  void run(const std::string& label, const std::string& bytes) {
    writeFile(path_, bytes);
    ++copies_;
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
      int devNull = open("/dev/null", O_WRONLY);  // mdbtools complains on stderr about damage
      dup2(devNull, 2);
      alarm(kSecondsPerCopy);
      useCatalogue(path_);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return;
    bool hang = WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM;
    ++(hang ? hangs_ : failures_);
    std::string kept = path_ + ".failed-" + std::to_string(copies_);
    writeFile(kept, bytes);
    std::printf("%s: %s %d, kept as %s\n", label.c_str(), WIFSIGNALED(status) ? "signal" : "exit",
                WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status), kept.c_str());
  }

  int report() const {
    std::printf("%d damaged copies, %d crashed or failed, %d hung\n", copies_, failures_, hangs_);
    return failures_ + hangs_ == 0 ? 0 : 1;
  }

 private:
  std::string path_;
  int copies_ = 0, failures_ = 0, hangs_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s catalogue.mdb probe-file random-trials [every-byte]\n", argv[0]);
    return 2;
  }
  const std::string good = readFile(argv[1]);
  const int trials = std::atoi(argv[3]);
  const bool everyByte = argc > 4;
  const std::size_t pages = good.size() / kPage;
  // Pages mdbtools interprets in the sample catalogue: header, free map, system catalogue
  // definition and rows, 书库's definition, data and usage map.
  const std::vector<std::size_t> telling = {0, 1, 2, 6, 24, 27, 28};
  std::mt19937 random(12345);
  Probe probe(argv[2]);

  for (std::size_t n = 0; n <= pages; ++n) probe.run("cut after page " + std::to_string(n), good.substr(0, n * kPage));

  for (std::size_t page = 1; page < pages; ++page)
    for (int fill = 0; fill < 3; ++fill) {
      std::string bytes = good;
      for (std::size_t i = 0; i < kPage; ++i)
        bytes[page * kPage + i] = fill == 0 ? '\0' : fill == 1 ? '\xFF' : static_cast<char>(random());
      probe.run("page " + std::to_string(page) + " fill " + std::to_string(fill), bytes);
    }

  for (int t = 0; t < trials; ++t) {
    std::string bytes = good;
    int changes = 1 << (t % 7);
    bool onePage = t % 2 != 0;
    std::size_t page = random() % pages;
    for (int c = 0; c < changes; ++c) {
      std::size_t at = onePage ? page * kPage + random() % kPage : random() % bytes.size();
      if (at >= 0x20) bytes[at] = static_cast<char>(random());  // keep the file recognisable
    }
    probe.run("random " + std::to_string(t), bytes);
  }

  const std::uint32_t edges[] = {0, 0xFFFF, 0xFFFFFFFF, 0x7FFF, 0x8000, 0x1FFF, 4095, 4096, 4097, 0x10000, 0x7FFFFFFF};
  for (int t = 0; t < trials; ++t) {
    std::string bytes = good;
    std::size_t page = telling[t % telling.size()];
    std::size_t at = page * kPage + random() % (kPage - 4);
    std::uint32_t value = edges[random() % std::size(edges)];
    std::memcpy(&bytes[at], &value, random() % 2 ? 2 : 4);
    probe.run("edge value " + std::to_string(t), bytes);
  }

  if (everyByte)
    for (std::size_t page : telling)
      for (std::size_t offset = page == 0 ? 0x20 : 0; offset < (page == 0 ? 0x100u : 200u); ++offset)
        for (int v : {0x00, 0xFF, 0x50, 0x80, -1, -2}) {
          std::string bytes = good;
          auto old = static_cast<unsigned char>(bytes[page * kPage + offset]);
          auto value = static_cast<unsigned char>(v == -1 ? old ^ 1 : v == -2 ? old + 0x10 : v);
          if (value == old) continue;
          bytes[page * kPage + offset] = static_cast<char>(value);
          probe.run("page " + std::to_string(page) + " byte " + std::to_string(offset) + " = " + std::to_string(value),
                    bytes);
        }
  return probe.report();
}
