#pragma once
#include <string>

namespace art {
// Loads the written BMPs back (as the game does) and composes mock screens of the game
// into dir as 24-bit BMPs: the game screen, title, menus, ranking, options, reward,
// ending, the logo animation and sheets of the cells.
void writePreviews(const std::string& dir, const std::string& bitmapDir);
}  // namespace art
