#pragma once
#include <string>

#include "Canvas.h"

namespace spritegen {

// PNG files through SDL2_image; both throw std::runtime_error with the reason.
void savePng(const Canvas& canvas, const std::string& path);
Canvas loadPng(const std::string& path);

}  // namespace spritegen
