#pragma once
// A program directory with the sample catalogue and a version file, and a loopback server
// that publishes a notice page and a catalogue package.
#include <filesystem>
#include <string>

#include "loopback_server.h"
#include "test_files.h"

namespace tomeferry::testing {

inline const std::string kSeparator = "aaaaaxxxx";

// Bytes of a file in the repository's test data.
inline std::string testData(const std::string& name) {
  return readFile(std::filesystem::path(TOMEFERRY_TEST_DATA) / name);
}

// Fields as the notice page writes them.
inline std::string noticePage(const std::string& programVersion, const std::string& programAddress,
                              const std::string& catalogueVersion, const std::string& packageAddress) {
  return "<html><body>program qwer" + programVersion + "qwer download qwer" + programAddress +
         "qwer\r\ncatalogue qwer" + catalogueVersion + "qwer package qwer" + packageAddress +
         "qwer</body></html>";
}

inline const std::string kOldIni =
    "[\xC5\xE4\xD6\xC3]\r\n\xB0\xE6\xB1\xBE=4.0\r\n\xBF\xE2\xB0\xE6\xB1\xBE=14\r\n";

class ProgramDir {
 public:
  ProgramDir() {
    std::filesystem::create_directory(dir_ / "data");
    writeFile(catalogue(), testData("catalogue.mdb"));
    writeFile(ini(), kOldIni);
  }
  std::string str() const { return dir_.str(); }
  std::filesystem::path catalogue() const { return dir_ / "data/db1.mdb"; }
  std::filesystem::path ini() const { return dir_ / "ini.ini"; }
  std::filesystem::path operator/(const std::string& relative) const { return dir_ / relative; }

  // Names in data/ other than db1.mdb.
  std::vector<std::string> strayFiles() const {
    std::vector<std::string> names;
    if (!std::filesystem::is_directory(dir_ / "data")) return names;
    for (const auto& e : std::filesystem::directory_iterator(dir_ / "data")) {
      if (e.path().filename() != "db1.mdb") names.push_back(e.path().filename().string());
    }
    return names;
  }

 private:
  TempDir dir_;
};

}  // namespace tomeferry::testing
