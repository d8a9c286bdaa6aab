#pragma once

#include <string>

namespace orvj {

// The instruction screens of the on-screen test: screen 0 is the general screen, screens 1..5
// open sections 1..5. Texts are UTF-8, lines separated by "\r\n", no break after the last.
namespace InstructionTexts {

constexpr int kScreenCount = 6;

std::string text(bool spanish, int screen);
// The help line shown while the screen is up.
std::string helpLine(bool spanish, int screen);
// "Inst0.wav" .. "Inst5.wav".
std::string soundFile(int screen);

} // namespace InstructionTexts
} // namespace orvj
