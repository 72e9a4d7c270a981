#pragma once
// The cut of splitPackage, made while the package arrives: bytes are handed on as they come,
// and only a possible beginning of a separator (at most eight bytes) is held back.
#include <array>
#include <cstddef>
#include <functional>
#include <string_view>

#include "update/package_splitter.h"

namespace tomeferry::update {

class PackageScanner {
 public:
  // Receives the bytes of piece `piece`, in order and possibly in many calls; never called
  // with no bytes. Returning false stops the scan.
  using BytesSink = std::function<bool(std::size_t piece, std::string_view bytes)>;
  // Told that piece `piece` is complete. Returning false stops the scan.
  using PieceEndSink = std::function<bool(std::size_t piece)>;

  PackageScanner(BytesSink bytes, PieceEndSink pieceEnd);

  // The next bytes of the package. False once a sink has stopped the scan.
  bool feed(std::string_view data);
  // The end of the package: the bytes held back belong to the last piece, which is complete
  // when it holds at least one byte. False when a sink stopped the scan.
  bool finish();

  // Pieces completed so far; after finish, the number of pieces splitPackage gives.
  std::size_t pieces() const { return piece_; }
  bool stopped() const { return stopped_; }

 private:
  bool emit(std::string_view bytes);
  bool endPiece();

  BytesSink bytes_;
  PieceEndSink pieceEnd_;
  std::size_t piece_ = 0;          // index of the piece being received
  std::size_t pieceBytes_ = 0;     // bytes of it handed on so far
  std::size_t matched_ = 0;        // the last bytes seen equal this many of the separator's first
  bool stopped_ = false;
  bool finished_ = false;
};

}  // namespace tomeferry::update
