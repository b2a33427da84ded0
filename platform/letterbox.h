#pragma once
// Window scaling: how big the window opens on a display, and where the picture goes in a
// window of any size (the largest whole scale that fits, centred, black around it).
namespace platform {

struct ViewRect {
  int X = 0, Y = 0, W = 0, H = 0;
};

// The largest whole factor f >= 1 for which a clientW x clientH window, times f, takes at
// most 75 % of the display's height and fits its width.
int InitialScale(int displayW, int displayH, int clientW, int clientH);

// The rectangle a picW x picH picture takes in an outW x outH output: the largest whole
// scale that fits, centred; an output smaller than the picture gets the largest fitting
// fractional size instead, so the whole picture always shows.
ViewRect Letterbox(int outW, int outH, int picW, int picH);

}  // namespace platform
