#include "imaging/pixel_buffer.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "dibunit/prefault.h"

namespace omniocr {

TPixelBuffer::TPixelBuffer(std::size_t size) {
  if (size == 0) return;
  Data_ = static_cast<std::uint8_t*>(std::calloc(size, 1));
  if (Data_ == nullptr) throw std::bad_alloc();
  Size_ = size;
  // An image's pixels are written whole (read, converted, turned or copied).
  PrefaultForWriting(Data_, size);
}

TPixelBuffer::TPixelBuffer(const TPixelBuffer& other) {
  if (other.Size_ == 0) return;
  Data_ = static_cast<std::uint8_t*>(std::malloc(other.Size_));
  if (Data_ == nullptr) throw std::bad_alloc();
  PrefaultForWriting(Data_, other.Size_);
  std::memcpy(Data_, other.Data_, other.Size_);
  Size_ = other.Size_;
}

TPixelBuffer& TPixelBuffer::operator=(const TPixelBuffer& other) {
  if (this != &other) *this = TPixelBuffer(other);
  return *this;
}

TPixelBuffer::TPixelBuffer(TPixelBuffer&& other) noexcept
    : Data_(std::exchange(other.Data_, nullptr)), Size_(std::exchange(other.Size_, 0)) {}

TPixelBuffer& TPixelBuffer::operator=(TPixelBuffer&& other) noexcept {
  if (this != &other) {
    std::free(Data_);
    Data_ = std::exchange(other.Data_, nullptr);
    Size_ = std::exchange(other.Size_, 0);
  }
  return *this;
}

TPixelBuffer::~TPixelBuffer() { std::free(Data_); }

std::uint8_t* TPixelBuffer::Release(std::size_t size) {
  // A large block is moved by remapping its pages, not by copying them.
  void* block = std::realloc(Data_, size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  Data_ = nullptr;
  Size_ = 0;
  return static_cast<std::uint8_t*>(block);
}

}  // namespace omniocr
