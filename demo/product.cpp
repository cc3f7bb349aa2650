#include "demo/product.h"

namespace omniocr::demo {

const char* ProductVersion() { return OMNIOCR_VERSION; }

}  // namespace omniocr::demo
