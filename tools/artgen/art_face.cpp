// The face beside the well: the head, five expressions and the eyelids of the blink.
// One painter draws the complete face; the expression and eyelid cells are cut out of
// it, so they line up with the head exactly where the game draws them.
#include "art.h"

namespace art {

namespace {

const Col kLine = rgb(70, 34, 46);
const Col kSkin = rgb(255, 226, 204);
const Col kHair = rgb(156, 86, 62);
const Col kHairLight = rgb(208, 130, 92);
const Col kBow = rgb(255, 96, 150);
const Col kEye = rgb(58, 40, 92);
const Col kIris = rgb(92, 120, 230);
const Col kMouth = rgb(176, 48, 70);
const Col kTongue = rgb(255, 128, 140);
const Col kTear = rgb(150, 214, 255);

// Eye centres and the features' layout (head coordinates).
const float LX = 51, RX = 77, EY = 78;

void outlined(Layer& L, const Shape& s, const Paint& p, float ow = 1.6f) {
  fill(L, grow(s, ow), solid(kLine));
  fill(L, s, p);
}

void openEye(Layer& L, float cx, float big) {
  Shape e = ellipse(cx, EY, 6.3f * big, 8.4f * big);
  fill(L, grow(e, 1.1f), solid(kLine));
  fill(L, e, vgrad(EY - 8, kEye, EY + 8, kIris));
  // Lash line on top, a touch wider than the eye.
  fill(L, arc(cx, EY + 1.5f, 7.6f * big, 200, 340, 2.4f), solid(kLine));
  fill(L, circle(cx - 2.2f * big, EY - 3.2f * big, 2.5f * big), solid(rgb(255, 255, 255)));
  fill(L, circle(cx + 2.0f * big, EY + 3.0f * big, 1.2f), solid(rgb(255, 255, 255)));
}

// lid: 1 half closed, 2 closed.
void lidEye(Layer& L, float cx, int lid) {
  if (lid == 1) {
    Shape e = ellipse(cx, EY, 6.3f, 8.4f);
    Shape lower = intersect(e, box(cx - 10, EY, cx + 10, EY + 10));
    fill(L, grow(lower, 1.1f), solid(kLine));
    fill(L, lower, vgrad(EY, kEye, EY + 8, kIris));
    fill(L, circle(cx + 2.0f, EY + 3.0f, 1.2f), solid(rgb(255, 255, 255)));
    fill(L, segment(cx - 7.4f, EY + 0.5f, cx + 7.4f, EY + 0.5f, 2.4f), solid(kLine));
  } else {
    fill(L, arc(cx, EY - 2.0f, 7.0f, 25, 155, 2.4f), solid(kLine));
  }
}

void blush(Layer& L, float a) {
  for (float x : {38.0f, 90.0f}) fill(L, ellipse(x, 93, 6.5f, 3.6f), solid(withA(rgb(255, 120, 140), a)));
}

void brows(Layer& L, float lift, bool worried) {
  if (!worried) {
    fill(L, arc(LX, 70 - lift, 9, 235, 305, 2.0f), solid(kHair));
    fill(L, arc(RX, 70 - lift, 9, 235, 305, 2.0f), solid(kHair));
  } else {
    fill(L, segment(LX - 6, 63, LX + 5, 59, 2.2f), solid(kHair));
    fill(L, segment(RX + 6, 63, RX - 5, 59, 2.2f), solid(kHair));
  }
}

}  // namespace

// Paints the whole head with an expression (0..4) and, for the calm face, an eyelid
// state (-1 none, 0 open, 1 half closed, 2 closed).
Layer paintFace(int expr, int lid) {
  Layer L(128, 128);
  // Back hair: a rounded bob framing the face.
  Shape back = unite(ellipse(64, 60, 58, 54), box(8, 56, 120, 118, 28));
  fill(L, grow(back, 1.8f), solid(kLine));
  fill(L, back, vgrad(6, kHairLight, 120, kHair));
  // Face.
  Shape face = ellipse(64, 76, 50, 48);
  fill(L, grow(face, 1.6f), solid(kLine));
  fill(L, face, rgrad(60, 70, 62, kSkin, rgb(250, 206, 184)));
  // Fringe: three scallops and side locks, all above row 55 where the features begin.
  Shape fringe = unite(unite(ellipse(36, 39, 22, 15), ellipse(64, 37, 20, 15.5f)), ellipse(92, 39, 22, 15));
  fringe = unite(fringe, ellipse(64, 28, 55, 22));
  // Small points between the scallops.
  for (float x : {50.0f, 78.0f}) fringe = unite(fringe, grow(polygon({x - 7, 40, x + 7, 40, x, 53}), 1.0f));
  Shape locks = unite(segment(17, 46, 19, 108, 15), segment(111, 46, 109, 108, 15));
  fill(L, grow(locks, 1.6f), solid(kLine));
  fill(L, locks, vgrad(40, kHairLight, 118, kHair));
  fill(L, grow(fringe, 1.6f), solid(kLine));
  fill(L, fringe, vgrad(8, kHairLight, 54, kHair));
  // Shine on the hair.
  fill(L, arc(64, 52, 40, 228, 258, 3.0f), solid(withA(rgb(255, 220, 190), 0.8f)));
  fill(L, arc(64, 52, 40, 268, 280, 3.0f), solid(withA(rgb(255, 220, 190), 0.8f)));
  // A bow on the right and a star clip on the left.
  Shape bowL = polygon({98, 14, 82, 4, 80, 22}), bowR = polygon({98, 14, 116, 4, 118, 24});
  outlined(L, grow(bowL, 1.5f), vgrad(4, lighten(kBow, 0.3f), 24, kBow));
  outlined(L, grow(bowR, 1.5f), vgrad(4, lighten(kBow, 0.3f), 24, kBow));
  outlined(L, circle(98, 14, 4.5f), solid(lighten(kBow, 0.15f)));
  outlined(L, star(28, 22, 8, 3.6f, 5, -12), vgrad(14, rgb(255, 250, 170), 30, rgb(255, 180, 30)));

  switch (expr) {
    case 0:  // calm smile
      brows(L, 0, false);
      if (lid <= 0) {
        openEye(L, LX, 1);
        openEye(L, RX, 1);
      } else {
        lidEye(L, LX, lid);
        lidEye(L, RX, lid);
      }
      blush(L, 0.55f);
      fill(L, arc(64, 93, 6, 25, 155, 2.2f), solid(kLine));
      break;
    case 1:  // surprised
      brows(L, 4, false);
      openEye(L, LX, 1.12f);
      openEye(L, RX, 1.12f);
      blush(L, 0.4f);
      outlined(L, ellipse(64, 100, 4.2f, 5.4f), vgrad(95, kMouth, 105, kTongue), 1.3f);
      break;
    case 2: {  // delighted, eyes closed
      brows(L, 2, false);
      fill(L, arc(LX, EY + 3, 6.5f, 200, 340, 2.8f), solid(kLine));
      fill(L, arc(RX, EY + 3, 6.5f, 200, 340, 2.8f), solid(kLine));
      blush(L, 0.8f);
      Shape m = intersect(circle(64, 92, 10), box(50, 92, 78, 104));
      fill(L, grow(m, 1.4f), solid(kLine));
      fill(L, m, solid(kMouth));
      fill(L, intersect(m, circle(64, 104, 6)), solid(kTongue));
      break;
    }
    case 3:  // worried, a drop of sweat
      brows(L, 0, true);
      openEye(L, LX, 0.92f);
      openEye(L, RX, 0.92f);
      fill(L, arc(58.5f, 100, 3.2f, 200, 340, 1.9f), solid(kLine));
      fill(L, arc(64.9f, 98, 3.2f, 20, 160, 1.9f), solid(kLine));
      fill(L, arc(71.3f, 100, 3.2f, 200, 340, 1.9f), solid(kLine));
      {
        Shape drop = unite(circle(95, 68, 4.2f), polygon({91.4f, 66, 98.6f, 66, 95, 57}));
        outlined(L, drop, vgrad(57, rgb(235, 250, 255), 72, kTear), 1.3f);
        fill(L, circle(93.8f, 67.5f, 1.2f), solid(rgb(255, 255, 255)));
      }
      break;
    default: {  // crying
      brows(L, 0, true);
      fill(L, segment(LX - 6, EY - 5, LX + 4, EY, 2.6f), solid(kLine));
      fill(L, segment(LX + 4, EY, LX - 6, EY + 5, 2.6f), solid(kLine));
      fill(L, segment(RX + 6, EY - 5, RX - 4, EY, 2.6f), solid(kLine));
      fill(L, segment(RX - 4, EY, RX + 6, EY + 5, 2.6f), solid(kLine));
      for (float x : {LX - 2, RX + 2}) {
        Shape t = box(x - 3.2f, EY + 5, x + 3.2f, 108, 3);
        outlined(L, t, vgrad(EY, rgb(220, 244, 255), 108, kTear), 1.1f);
        fill(L, segment(x - 1, EY + 8, x - 1, 104, 1.2f), solid(rgb(255, 255, 255)));
      }
      Shape m = ellipse(64, 99, 8, 6.5f);
      fill(L, grow(m, 1.4f), solid(kLine));
      fill(L, m, solid(kMouth));
      fill(L, intersect(m, ellipse(64, 105, 6, 4)), solid(kTongue));
      break;
    }
  }
  return L;
}

Layer MakeFaceHead() { return paintFace(0, -1); }

Layer MakeFaceExpressions() {
  // Cells of 72 x 54, drawn at (head x + 30, head y + 56).
  Layer L(72, 270);
  for (int e = 0; e < 5; ++e) copyRect(L, paintFace(e, -1), 30, 56, 72, 54, 0, e * 54);
  return L;
}

Layer MakeFaceLids() {
  // Cells of 54 x 20, drawn at (head x + 36, head y + 68) over the calm face.
  Layer L(54, 60);
  for (int c = 0; c < 3; ++c) copyRect(L, paintFace(0, c), 36, 68, 54, 20, 0, c * 20);
  return L;
}

}  // namespace art
