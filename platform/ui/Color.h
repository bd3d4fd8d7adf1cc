#pragma once
// A colour as red, green, blue and alpha floats from 0 to 1 (straight, not premultiplied).
#include <cstdint>

struct Color {
    float red = 0, green = 0, blue = 0, alpha = 0;

    constexpr Color() = default;
    constexpr Color(float r, float g, float b, float a = 1.0f) : red(r), green(g), blue(b), alpha(a) {}
    static constexpr Color fromRGBA8(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
        return {r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f};
    }
    static constexpr Color white(float w = 1.0f, float a = 1.0f) { return {w, w, w, a}; }
    static constexpr Color clear() { return {0, 0, 0, 0}; }
    static constexpr Color black() { return {0, 0, 0, 1}; }
    static constexpr Color whiteColor() { return {1, 1, 1, 1}; }
    static constexpr Color redColor() { return {1, 0, 0, 1}; }
    static constexpr Color greenColor() { return {0, 1, 0, 1}; }
    static constexpr Color blueColor() { return {0, 0, 1, 1}; }
    static constexpr Color yellowColor() { return {1, 1, 0, 1}; }
    static constexpr Color grayColor() { return {0.5f, 0.5f, 0.5f, 1}; }

    constexpr Color withAlpha(float a) const { return {red, green, blue, a}; }
    constexpr bool isClear() const { return alpha <= 0.0f; }
    constexpr bool operator==(const Color&) const = default;
    // 0..255 channels, rounded.
    uint8_t r8() const { return to8(red); }
    uint8_t g8() const { return to8(green); }
    uint8_t b8() const { return to8(blue); }
    uint8_t a8() const { return to8(alpha); }

private:
    static uint8_t to8(float v) { return static_cast<uint8_t>(v <= 0 ? 0 : v >= 1 ? 255 : v * 255.0f + 0.5f); }
};
