#pragma once
// Window scaling: how big the window opens on a display, and where the picture goes in a
// window or on a screen of any size: either the largest whole scale that fits, centred,
// black around it, or filling the space at the picture's aspect ratio.
namespace platform {

// How the picture is scaled to the space it is shown in.
enum class ScaleMode {
  Whole,  // the largest whole-number scale: every pixel a crisp square, black bars around
  Fit,    // the largest whole-number scale, then one smooth pass to fill the space
};

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

// The largest rectangle of the picture's aspect ratio in an outW x outH output, centred
// (black bars only on the two sides where the aspect ratios differ).
ViewRect FitRect(int outW, int outH, int picW, int picH);

// The whole-number scale the picture takes before the smooth pass to a fit rectangle: the
// largest that stays within it, 0 when the rectangle is smaller than the picture.
int FitPreScale(const ViewRect& fit, int picW, int picH);

}  // namespace platform
