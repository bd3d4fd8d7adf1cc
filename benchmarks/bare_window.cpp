// The yardstick for the game's start-up: a bare SDL2 program that opens a window the size the
// game opens (the 320 x 480-point screen at 2 pixels per point, at the largest whole scale that
// fits the display), shows one picture in it and waits for the window to be closed.
//
//   bare_window [--exit-after-first-frame] PICTURE.png
//
// With --exit-after-first-frame it prints "FIRST_FRAME <ms since main>" right after the picture
// is presented and ends, as the game does with the same option.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    bool exitAfterFirstFrame = false;
    const char* picture = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--exit-after-first-frame") == 0) exitAfterFirstFrame = true;
        else picture = argv[i];
    }
    if (!picture) {
        std::fprintf(stderr, "usage: bare_window [--exit-after-first-frame] PICTURE.png\n");
        return 2;
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "bare_window: no display: %s\n", SDL_GetError());
        return 1;
    }
    const int targetWidth = 640, targetHeight = 960;
    SDL_Rect usable{0, 0, targetWidth, targetHeight};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = SDL_Rect{0, 0, targetWidth, targetHeight};
    const int fit = std::min((usable.w - 40) / targetWidth, (usable.h - 60) / targetHeight);
    const int w = fit >= 1 ? targetWidth * fit : targetWidth / 2;
    const int h = fit >= 1 ? targetHeight * fit : targetHeight / 2;
    SDL_Window* window = SDL_CreateWindow("bare window", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                                          SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window) {
        std::fprintf(stderr, "bare_window: cannot open the window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    SDL_Surface* surface = IMG_Load(picture);
    if (!renderer || !surface) {
        std::fprintf(stderr, "bare_window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, surface);
    // A tall picture shows its lower part, as the game's title does on the short screen.
    const SDL_Rect source{0, std::max(0, surface->h - surface->w * targetHeight / targetWidth), surface->w,
                          std::min(surface->h, surface->w * targetHeight / targetWidth)};
    SDL_FreeSurface(surface);

    auto draw = [&] {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, &source, nullptr);
        SDL_RenderPresent(renderer);
    };
    // The same rule as the game's event loop: every pending event first, then draw unless the
    // window is hidden. X11 shows, hides and shows a new window while mapping it, so the first
    // picture goes out once it is mapped.
    bool hidden = false, drawn = false, quit = false;
    auto handle = [&](const SDL_Event& e) {
        if (e.type == SDL_QUIT) quit = true;
        if (e.type != SDL_WINDOWEVENT) return;
        if (e.window.event == SDL_WINDOWEVENT_HIDDEN || e.window.event == SDL_WINDOWEVENT_MINIMIZED) hidden = true;
        if (e.window.event == SDL_WINDOWEVENT_SHOWN || e.window.event == SDL_WINDOWEVENT_RESTORED) hidden = false;
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN) drawn = false;
    };
    while (!quit) {
        SDL_Event e;
        while (SDL_PollEvent(&e)) handle(e);
        if (quit) break;
        if (!hidden && !drawn) {
            draw();
            drawn = true;
            if (exitAfterFirstFrame) {
                std::printf("FIRST_FRAME %.1f\n",
                            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count());
                std::fflush(stdout);
                break;
            }
        }
        if (SDL_WaitEvent(&e)) handle(e);
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
