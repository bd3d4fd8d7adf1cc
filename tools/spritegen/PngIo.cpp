#include "PngIo.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <stdexcept>

namespace spritegen {

void savePng(const Canvas& canvas, const std::string& path) {
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, canvas.width(), canvas.height(), 32, SDL_PIXELFORMAT_RGBA32);
  if (!surface) throw std::runtime_error(std::string("cannot make a surface: ") + SDL_GetError());
  for (int y = 0; y < canvas.height(); ++y) {
    auto* row = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
    for (int x = 0; x < canvas.width(); ++x) {
      Rgba p = canvas.at(x, y);
      if (p.a == 0) p = Rgba{};  // fully transparent pixels carry no stray colour
      row[4 * x] = p.r;
      row[4 * x + 1] = p.g;
      row[4 * x + 2] = p.b;
      row[4 * x + 3] = p.a;
    }
  }
  int rc = IMG_SavePNG(surface, path.c_str());
  SDL_FreeSurface(surface);
  if (rc != 0) throw std::runtime_error("cannot write " + path + ": " + IMG_GetError());
}

Canvas loadPng(const std::string& path) {
  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (!loaded) throw std::runtime_error("cannot read " + path + ": " + IMG_GetError());
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(loaded);
  if (!rgba) throw std::runtime_error(std::string("cannot convert ") + path + ": " + SDL_GetError());
  Canvas c(rgba->w, rgba->h);
  for (int y = 0; y < rgba->h; ++y) {
    auto* row = static_cast<uint8_t*>(rgba->pixels) + static_cast<size_t>(y) * rgba->pitch;
    for (int x = 0; x < rgba->w; ++x) c.set(x, y, Rgba{row[4 * x], row[4 * x + 1], row[4 * x + 2], row[4 * x + 3]});
  }
  SDL_FreeSurface(rgba);
  return c;
}

}  // namespace spritegen
