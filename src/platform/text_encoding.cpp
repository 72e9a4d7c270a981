#include "platform/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace tomeferry::platform {
namespace {

// One conversion direction. iconv descriptors carry shift state and must not be shared
// between threads, so every thread keeps its own pair (the refresh worker converts too).
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `in`; at a byte run it cannot take, `onBad` appends the replacement and
  // returns how many input bytes to skip.
  template <typename OnBad>
  std::string run(std::string_view in, OnBad onBad) {
    std::string out;
    if (!ok()) return out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      std::size_t dstLeft = out.size() - used;
      std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      int err = errno;
      used = out.size() - dstLeft;
      if (rc != static_cast<std::size_t>(-1)) break;
      if (err == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // EILSEQ: replace the bad run and go on after it. EINVAL: the text ends in the middle
      // of a character, which is replaced once.
      out.resize(used);
      std::size_t skip = onBad(std::string_view(src, srcLeft), out);
      if (err == EINVAL) skip = srcLeft;
      src += skip;
      srcLeft -= skip;
      used = out.size();
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      if (out.size() < used + srcLeft * 2 + 16) out.resize(used + srcLeft * 2 + 16);
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

// Length of the UTF-8 sequence at the start of `s` when it is well formed, else 0.
std::size_t utf8SequenceLength(std::string_view s) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  unsigned char lead = byte(0);
  std::size_t len = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                   : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (len == 0 || len > s.size()) return 0;
  for (std::size_t i = 1; i < len; ++i)
    if ((byte(i) & 0xC0) != 0x80) return 0;
  return len;
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk) {
  thread_local Converter converter("UTF-8", "GBK");
  return converter.run(gbk, [](std::string_view, std::string& out) {
    out += "\xEF\xBF\xBD";  // U+FFFD; the next byte may start a valid character again
    return std::size_t{1};
  });
}

std::string utf8ToGbk(std::string_view utf8) {
  thread_local Converter converter("GBK", "UTF-8");
  return converter.run(utf8, [](std::string_view rest, std::string& out) {
    out += '?';
    std::size_t len = utf8SequenceLength(rest);
    return len == 0 ? std::size_t{1} : len;  // a whole character GBK lacks, or one stray byte
  });
}

}  // namespace tomeferry::platform
