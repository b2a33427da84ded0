#pragma once
// The keyboard's scan codes (the PC keyboard's set-1 codes, extended keys with 128 added):
// the indices of the game's 256-byte key state, which the window fills from SDL's key events
// through the table in platform/input_devices.cpp. These are the keys the game, the replay
// runner and the tests name.
#include <cstdint>

namespace keycode {

enum : uint8_t {
  Escape = 1,
  Digit1 = 2,  // the digits 1..9 follow on 3..10
  Digit0 = 11,
  Backspace = 14,
  Tab = 15,
  Enter = 28,
  LCtrl = 29,
  LShift = 42,
  RShift = 54,
  Alt = 56,
  Space = 57,
  F1 = 59, F2 = 60, F3 = 61, F4 = 62, F5 = 63, F6 = 64, F7 = 65, F8 = 66, F9 = 67, F10 = 68,
  RCtrl = 0x9D,
  Home = 0xC7,
  Up = 200,
  PageUp = 0xC9,
  Left = 203,
  Right = 205,
  End = 0xCF,
  Down = 208,
  PageDown = 0xD1,
  Delete = 0xD3,
  // The letters, in the keyboard's rows.
  Q = 16, W = 17, E = 18, R = 19, T = 20, Y = 21, U = 22, I = 23, O = 24, P = 25,
  A = 30, S = 31, D = 32, F = 33, G = 34, H = 35, J = 36, K = 37, L = 38,
  Z = 44, X = 45, C = 46, V = 47, B = 48, N = 49, M = 50,
};

// The letters' codes in the order A..Z.
constexpr uint8_t kLetters[26] = {A, B, C, D, E, F, G, H, I, J, K, L, M,
                                  N, O, P, Q, R, S, T, U, V, W, X, Y, Z};

}  // namespace keycode
