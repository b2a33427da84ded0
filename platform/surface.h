#pragma once
// Off-screen surfaces: plain pixel buffers in a direct-colour pixel format (16-bit 5-5-5 or
// 5-6-5, 24-bit, 32-bit XRGB), the copies and fills the drawing component makes on them,
// and the decoding of BMP files into them.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// A pixel format: bits per pixel and the three channel masks of a pixel value read
// little-endian from its bytes. Bits outside the masks are spare (the X byte of XRGB).
struct PixelFormat {
  int32_t BitsPerPixel = 32;
  uint32_t RedMask = 0x00FF0000;
  uint32_t GreenMask = 0x0000FF00;
  uint32_t BlueMask = 0x000000FF;

  int32_t BytesPerPixel() const { return BitsPerPixel / 8; }
  uint32_t ColorMask() const { return RedMask | GreenMask | BlueMask; }
  bool operator==(const PixelFormat&) const = default;

  static PixelFormat Xrgb8888() { return {32, 0x00FF0000, 0x0000FF00, 0x000000FF}; }
  static PixelFormat Rgb888() { return {24, 0x00FF0000, 0x0000FF00, 0x000000FF}; }
  static PixelFormat Rgb565() { return {16, 0xF800, 0x07E0, 0x001F}; }
  static PixelFormat Rgb555() { return {16, 0x7C00, 0x03E0, 0x001F}; }
};

// The largest surface side and pixel count accepted, far above anything the game uses;
// a guard against a damaged bitmap header asking for gigabytes.
constexpr int32_t kMaxSurfaceSide = 16384;
constexpr int64_t kMaxSurfacePixels = int64_t{1} << 24;

// A rectangle of pixels; right and bottom are exclusive.
struct PixelRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};

class Surface {
 public:
  // A black surface (all pixel bytes 0). Null when the size is not positive or above the
  // limits, or the format is not one of 16, 24 or 32 bits with non-zero masks.
  static std::unique_ptr<Surface> Create(int32_t width, int32_t height, const PixelFormat& format);

  int32_t Width() const { return W; }
  int32_t Height() const { return H; }
  // Bytes from one row to the next: the row's bytes rounded up to a multiple of 4.
  int32_t Pitch() const { return RowPitch; }
  const PixelFormat& Format() const { return Fmt; }
  uint8_t* Pixels() { return Data.data(); }
  const uint8_t* Pixels() const { return Data.data(); }
  uint8_t* Row(int32_t y) { return Data.data() + static_cast<size_t>(y) * RowPitch; }
  const uint8_t* Row(int32_t y) const { return Data.data() + static_cast<size_t>(y) * RowPitch; }

  // One pixel's value; 0 outside the surface.
  uint32_t GetPixel(int32_t x, int32_t y) const;
  // Writes one pixel's value (its BytesPerPixel low bytes); ignored outside the surface.
  void SetPixel(int32_t x, int32_t y, uint32_t value);
  // Sets every pixel to value.
  void Fill(uint32_t value);

  // The pixel value of an 8-bit-per-channel colour in this format (channels cut to their
  // width by dropping low bits), and back (channels widened by repeating their high bits).
  uint32_t MapRgb(uint8_t r, uint8_t g, uint8_t b) const;
  void GetRgb(uint32_t value, uint8_t& r, uint8_t& g, uint8_t& b) const;

 private:
  Surface() = default;
  int32_t W = 0;
  int32_t H = 0;
  int32_t RowPitch = 0;
  PixelFormat Fmt;
  std::vector<uint8_t> Data;
};

// Copies the source rectangle of src onto dst with its top-left corner at (dstX, dstY).
// With colorKey, source pixels whose value is 0 are skipped (they are transparent).
// Like a blitter that does not clip, it refuses (false, nothing written) a source
// rectangle that is empty, inverted or not wholly inside src, a destination that is not
// wholly inside dst, and surfaces whose pixels differ in size.
bool Blit(const Surface& src, const PixelRect& srcRect, Surface& dst, int32_t dstX, int32_t dstY,
          bool colorKey);

// Converts a whole surface to 32-bit XRGB8888 pixels (spare byte 0), tightly packed.
void ConvertToXrgb8888(const Surface& src, std::vector<uint32_t>& out);

// Checks the headers of a BMP file: the signature, a known header size, a width and height
// within the surface limits, and for uncompressed pixels that all rows are present. False
// for anything else, before the decoder allocates for it.
bool CheckBmpHeader(const uint8_t* data, size_t size);

// Decodes a BMP file (1, 4, 8 bits palettised, 16, 24, 32 bits, RLE too) and converts it to
// the given format; channel bits come out with every spare bit 0, so black is the pixel
// value 0. Null for bytes that are not a readable BMP.
std::unique_ptr<Surface> LoadBmp(const uint8_t* data, size_t size, const PixelFormat& format);

}  // namespace platform
