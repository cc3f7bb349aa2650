#pragma once

// Files that are recognised but not read: what they are and what to do with
// them, for a message better than "unknown image format".

#include <cstddef>
#include <cstdint>
#include <string>

namespace omniocr {

// "a JPEG 2000 file: convert it to PNG or TIFF first", or empty when the
// bytes are of no format known here.
std::string DescribeUnsupportedFormat(const std::uint8_t* data, std::size_t size);

}  // namespace omniocr
