// Colours of the emulated screen (0xRRGGBBAA). Dark, with one strong blue
// for focus and selection and an amber accent that marks where keys go.
#pragma once
#include <cstdint>

namespace emu::theme {

constexpr uint32_t screen = 0x0B0F14FF;

constexpr uint32_t windowBorder = 0x44546AFF;
constexpr uint32_t windowClient = 0x18202BFF;
constexpr uint32_t titleActiveTop = 0x3463A0FF, titleActiveBottom = 0x1D3A63FF;
constexpr uint32_t titleInactiveTop = 0x3A4452FF, titleInactiveBottom = 0x262E39FF;
constexpr uint32_t titleText = 0xFFFFFFFF;

constexpr uint32_t text = 0xE6E9EEFF;
constexpr uint32_t textOnFocus = 0xFFFFFFFF;
constexpr uint32_t accent = 0xFFC940FF;

constexpr uint32_t buttonFace = 0x273445FF, buttonBorder = 0x4C5D74FF;
constexpr uint32_t focusFace = 0x2F7DE1FF, focusBorder = 0xA8D0FFFF;

constexpr uint32_t badgeFace = 0x0E141CFF, badgeBorder = 0x6B7C93FF;
constexpr uint32_t keyRed = 0xE53935FF, keyGreen = 0x43A047FF, keyYellow = 0xFDD835FF, keyBlue = 0x1E88E5FF;

constexpr uint32_t listFace = 0x121923FF, listBorder = 0x3A4759FF;
constexpr uint32_t currentUnfocused = 0x34455CFF;
constexpr uint32_t scrollTrack = 0x1E2835FF, scrollThumb = 0x6B7C93FF;

constexpr uint32_t barTrough = 0x0E141CFF, barFill = 0x5F9EE8FF;

constexpr uint32_t fieldFace = 0x0F151DFF, fieldEditingFace = 0x1F2F45FF;

constexpr uint32_t iconInfo = 0x1E88E5FF, iconWarning = 0xFDD835FF, iconQuestion = 0x43A047FF,
                   iconError = 0xE53935FF, iconDarkSymbol = 0x1A1A1AFF;

}  // namespace emu::theme
