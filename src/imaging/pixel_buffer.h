#pragma once

// The pixel bytes of an image: one zero-filled block from the C allocator, so
// that a packed bitmap can be made in it and handed on without a copy. The
// block may keep room in front of the pixels for the bitmap's header, so that
// the pixels need not move to make way for it.

#include <cstddef>
#include <cstdint>

namespace omniocr {

class TPixelBuffer {
 public:
  TPixelBuffer() = default;
  // `size` zero bytes after `room` zero bytes; raises std::bad_alloc.
  explicit TPixelBuffer(std::size_t size, std::size_t room = 0);
  // The same with the `size` bytes undefined, for pixels that are all
  // written before they are read: the block need not be cleared first.
  static TPixelBuffer ForOverwrite(std::size_t size, std::size_t room = 0);
  TPixelBuffer(const TPixelBuffer& other);
  TPixelBuffer& operator=(const TPixelBuffer& other);
  TPixelBuffer(TPixelBuffer&& other) noexcept;
  TPixelBuffer& operator=(TPixelBuffer&& other) noexcept;
  ~TPixelBuffer();

  std::uint8_t* Data() { return Data_; }
  const std::uint8_t* Data() const { return Data_; }
  std::size_t Size() const { return Size_; }
  // The bytes in front of the pixels.
  std::size_t Room() const { return Room_; }

  // The whole block, the room and then the pixels, resized to `size` bytes
  // (the first bytes kept, any new ones undefined), for the caller to free
  // with std::free; the buffer is left empty. Raises std::bad_alloc, the
  // buffer unchanged, when it cannot grow.
  std::uint8_t* Release(std::size_t size);

 private:
  TPixelBuffer(std::size_t size, std::size_t room, bool zeroed);
  std::uint8_t* Block() const { return Data_ == nullptr ? nullptr : Data_ - Room_; }

  std::uint8_t* Data_ = nullptr;
  std::size_t Size_ = 0;
  std::size_t Room_ = 0;
};

}  // namespace omniocr
