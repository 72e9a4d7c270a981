#include "update/package_scanner.h"

#include <cstring>

namespace tomeferry::update {
namespace {

constexpr std::size_t kSepSize = kPackageSeparator.size();

// next[m][c]: how much of the separator matches after `c` follows a match of m bytes (the
// longest beginning of the separator that ends the text seen). A match of kSepSize is a cut.
using Automaton = std::array<std::array<unsigned char, 256>, kSepSize>;

constexpr Automaton buildAutomaton() {
  Automaton next{};
  for (std::size_t m = 0; m < kSepSize; ++m) {
    for (int c = 0; c < 256; ++c) {
      // Text seen = separator[0, m) + c; find the longest suffix that begins the separator.
      char seen[kSepSize + 1]{};
      for (std::size_t i = 0; i < m; ++i) seen[i] = kPackageSeparator[i];
      seen[m] = static_cast<char>(c);
      const std::size_t len = m + 1;
      std::size_t best = 0;
      for (std::size_t k = len; k > 0; --k) {
        bool same = k <= kSepSize;
        for (std::size_t i = 0; same && i < k; ++i) same = seen[len - k + i] == kPackageSeparator[i];
        if (same) {
          best = k;
          break;
        }
      }
      next[m][static_cast<std::size_t>(c)] = static_cast<unsigned char>(best);
    }
  }
  return next;
}

constexpr Automaton kNext = buildAutomaton();

}  // namespace

PackageScanner::PackageScanner(BytesSink bytes, PieceEndSink pieceEnd)
    : bytes_(std::move(bytes)), pieceEnd_(std::move(pieceEnd)) {}

bool PackageScanner::emit(std::string_view bytes) {
  if (bytes.empty() || stopped_) return !stopped_;
  pieceBytes_ += bytes.size();
  if (!bytes_(piece_, bytes)) stopped_ = true;
  return !stopped_;
}

bool PackageScanner::endPiece() {
  if (stopped_) return false;
  const std::size_t ended = piece_++;
  pieceBytes_ = 0;
  if (!pieceEnd_(ended)) stopped_ = true;
  return !stopped_;
}

bool PackageScanner::feed(std::string_view data) {
  if (stopped_ || finished_) return false;
  const char* const p = data.data();
  const std::size_t n = data.size();
  // Bytes [run, i) of `data` are piece bytes not yet handed on. While a match is open its
  // bytes are not taken from `data`: they are the separator's own first bytes.
  std::size_t run = 0;
  std::size_t i = 0;
  while (i < n) {
    if (matched_ == 0) {
      const void* a = std::memchr(p + i, kPackageSeparator[0], n - i);
      if (!a) {
        i = n;
        break;
      }
      i = static_cast<std::size_t>(static_cast<const char*>(a) - p);
      if (!emit(data.substr(run, i - run))) return false;
      matched_ = 1;
      ++i;
      continue;
    }
    const std::size_t was = matched_;
    matched_ = kNext[was][static_cast<unsigned char>(p[i])];
    if (matched_ == kSepSize) {
      matched_ = 0;
      run = ++i;
      if (!endPiece()) return false;
      continue;
    }
    if (matched_ <= was) {
      // The match fell back: what no longer can begin a separator is piece bytes.
      if (matched_ == 0) {
        if (!emit(kPackageSeparator.substr(0, was))) return false;
        run = i;  // the byte at i itself starts the next run
      } else if (!emit(kPackageSeparator.substr(0, was + 1 - matched_))) {
        return false;
      }
    }
    ++i;
  }
  if (matched_ == 0) return emit(data.substr(run, n - run));
  return true;
}

bool PackageScanner::finish() {
  if (stopped_ || finished_) return false;
  finished_ = true;
  if (!emit(kPackageSeparator.substr(0, matched_))) return false;
  matched_ = 0;
  if (pieceBytes_ > 0) return endPiece();
  return true;
}

}  // namespace tomeferry::update
