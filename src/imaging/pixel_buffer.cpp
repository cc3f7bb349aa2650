#include "imaging/pixel_buffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "dibunit/prefault.h"

namespace omniocr {

TPixelBuffer::TPixelBuffer(std::size_t size, std::size_t room) : TPixelBuffer(size, room, true) {}

TPixelBuffer TPixelBuffer::ForOverwrite(std::size_t size, std::size_t room) { return {size, room, false}; }

TPixelBuffer::TPixelBuffer(std::size_t size, std::size_t room, bool zeroed) {
  if (size == 0) return;
  if (room > SIZE_MAX - size) throw std::bad_alloc();
  auto* block = static_cast<std::uint8_t*>(zeroed ? std::calloc(room + size, 1) : std::malloc(room + size));
  if (block == nullptr) throw std::bad_alloc();
  if (!zeroed) std::memset(block, 0, room);
  Data_ = block + room;
  Size_ = size;
  Room_ = room;
  // An image's pixels are written whole (read, converted, turned or copied).
  PrefaultForWriting(block, room + size);
}

TPixelBuffer::TPixelBuffer(const TPixelBuffer& other) {
  if (other.Size_ == 0) return;
  const std::size_t bytes = other.Room_ + other.Size_;
  auto* block = static_cast<std::uint8_t*>(std::malloc(bytes));
  if (block == nullptr) throw std::bad_alloc();
  PrefaultForWriting(block, bytes);
  std::memcpy(block, other.Block(), bytes);
  Data_ = block + other.Room_;
  Size_ = other.Size_;
  Room_ = other.Room_;
}

TPixelBuffer& TPixelBuffer::operator=(const TPixelBuffer& other) {
  if (this != &other) *this = TPixelBuffer(other);
  return *this;
}

TPixelBuffer::TPixelBuffer(TPixelBuffer&& other) noexcept
    : Data_(std::exchange(other.Data_, nullptr)),
      Size_(std::exchange(other.Size_, 0)),
      Room_(std::exchange(other.Room_, 0)) {}

TPixelBuffer& TPixelBuffer::operator=(TPixelBuffer&& other) noexcept {
  if (this != &other) {
    std::free(Block());
    Data_ = std::exchange(other.Data_, nullptr);
    Size_ = std::exchange(other.Size_, 0);
    Room_ = std::exchange(other.Room_, 0);
  }
  return *this;
}

TPixelBuffer::~TPixelBuffer() { std::free(Block()); }

std::uint8_t* TPixelBuffer::Release(std::size_t size) {
  std::uint8_t* block = Block();
  // A large block is moved by remapping its pages, not by copying them; one
  // of the right size stays where it is.
  if (block == nullptr || size != Room_ + Size_) {
    block = static_cast<std::uint8_t*>(std::realloc(block, size == 0 ? 1 : size));
    if (block == nullptr) throw std::bad_alloc();
  }
  Data_ = nullptr;
  Size_ = 0;
  Room_ = 0;
  return block;
}

}  // namespace omniocr
