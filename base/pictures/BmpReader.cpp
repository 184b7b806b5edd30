// Our own BMP decoder: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed,
// bit-field and run-length (RLE4, RLE8) variants, bottom-up and top-down, with every header form
// from the 12-byte OS/2 core header to the 124-byte V5 header. Every offset and size read from the
// file is checked against the data before it is used.
#include <algorithm>
#include <bit>
#include <cstring>

#include "PictureDecode.h"
#include "TavlinError.h"

namespace tavlin {

namespace {

constexpr std::size_t kFileHeaderSize = 14;

enum : std::uint32_t {
  kBiRgb = 0,
  kBiRle8 = 1,
  kBiRle4 = 2,
  kBiBitFields = 3,
  kBiJpeg = 4,
  kBiPng = 5,
  kBiAlphaBitFields = 6,
};

std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}

// One colour channel given by a bit mask, scaled to 0..255.
struct Channel {
  std::uint32_t Mask = 0;
  int Shift = 0;
  std::uint32_t Max = 0;

  explicit Channel(std::uint32_t mask = 0) : Mask(mask) {
    if (mask != 0) {
      Shift = std::countr_zero(mask);
      Max = mask >> Shift;
    }
  }
  std::uint32_t Value(std::uint32_t pixel) const {
    if (Max == 0) return 0;
    return std::uint32_t((std::uint64_t((pixel & Mask) >> Shift) * 255 + Max / 2) / Max);
  }
};

struct BmpHeader {
  std::int64_t Width = 0;
  std::int64_t Height = 0;  // positive; TopDown tells the row order
  bool TopDown = false;
  int BitsPerPixel = 0;
  std::uint32_t Compression = kBiRgb;
  std::uint32_t ColoursUsed = 0;
  std::uint32_t HeaderSize = 0;
  std::uint32_t Masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  bool HasMasks = false;
  bool HasAlphaMask = false;
  std::size_t PaletteOffset = 0;
  int PaletteEntrySize = 4;
  std::uint32_t PixelOffset = 0;
};

[[noreturn]] void Fail(const std::string& name, const std::string& reason) {
  throw TavlinError(name, reason);
}

BmpHeader ReadHeader(const std::uint8_t* data, std::size_t size, const std::string& name) {
  auto fail = [&name](const std::string& reason) { Fail(name, reason); };
  if (size < kFileHeaderSize + 4) fail("the BMP header is cut short");
  BmpHeader h;
  h.PixelOffset = U32(data + 10);
  h.HeaderSize = U32(data + 14);
  const std::uint8_t* dib = data + kFileHeaderSize;
  if (h.HeaderSize < 12 || h.HeaderSize > 4096)
    fail("unknown BMP header size " + std::to_string(h.HeaderSize));
  if (size < kFileHeaderSize + h.HeaderSize) fail("the BMP header is cut short");

  bool os2 = false;
  if (h.HeaderSize == 12) {
    h.Width = U16(dib + 4);
    h.Height = U16(dib + 6);
    h.BitsPerPixel = U16(dib + 10);
    h.PaletteEntrySize = 3;
  } else {
    if (h.HeaderSize < 16) fail("unknown BMP header size " + std::to_string(h.HeaderSize));
    // OS/2 2.x headers are 16 or 64 bytes; their compression codes differ from Windows'.
    os2 = h.HeaderSize == 16 || h.HeaderSize == 64;
    h.Width = std::int32_t(U32(dib + 4));
    std::int64_t height = std::int32_t(U32(dib + 8));
    h.BitsPerPixel = U16(dib + 14);
    if (h.HeaderSize >= 20) h.Compression = U32(dib + 16);
    if (h.HeaderSize >= 36) h.ColoursUsed = U32(dib + 32);
    h.TopDown = height < 0;
    h.Height = height < 0 ? -height : height;
    if (os2 && h.Compression != kBiRgb) fail("compressed OS/2 BMP pictures are not supported");
  }
  std::size_t afterHeader = kFileHeaderSize + h.HeaderSize;

  switch (h.Compression) {
    case kBiRgb:
      break;
    case kBiBitFields:
    case kBiAlphaBitFields: {
      if (h.BitsPerPixel != 16 && h.BitsPerPixel != 32)
        fail("a BMP with bit fields must have 16 or 32 bits per pixel, not " +
             std::to_string(h.BitsPerPixel));
      int maskCount = h.Compression == kBiAlphaBitFields ? 4 : 3;
      const std::uint8_t* masks = nullptr;
      if (h.HeaderSize >= 40 + 4u * unsigned(maskCount)) {
        masks = dib + 40;  // V2 and later headers hold the masks themselves
        if (h.HeaderSize >= 56) maskCount = 4;
      } else {
        if (size < afterHeader + 4u * unsigned(maskCount))
          fail("the BMP colour masks are cut short");
        masks = data + afterHeader;
        afterHeader += 4u * unsigned(maskCount);
      }
      for (int i = 0; i < maskCount; ++i) h.Masks[i] = U32(masks + 4 * i);
      h.HasMasks = true;
      h.HasAlphaMask = maskCount == 4 && h.Masks[3] != 0;
      break;
    }
    case kBiRle8:
    case kBiRle4:
      if (h.BitsPerPixel != (h.Compression == kBiRle8 ? 8 : 4))
        fail("a run-length compressed BMP must have " +
             std::string(h.Compression == kBiRle8 ? "8" : "4") + " bits per pixel");
      if (h.TopDown) fail("a run-length compressed BMP cannot be stored top-down");
      break;
    case kBiJpeg:
    case kBiPng:
      Fail(name, "BMP pictures holding JPEG or PNG data are not supported");
    default:
      Fail(name, "unknown BMP compression " + std::to_string(h.Compression));
  }

  switch (h.BitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 24:
      if (h.Compression == kBiBitFields || h.Compression == kBiAlphaBitFields)
        fail("a BMP of " + std::to_string(h.BitsPerPixel) +
             " bits per pixel cannot have bit fields");
      break;
    case 16:
    case 32:
      break;
    default:
      fail("BMP pictures of " + std::to_string(h.BitsPerPixel) +
           " bits per pixel are not supported");
  }
  h.PaletteOffset = afterHeader;
  return h;
}

// Run-length data: pairs of (count, index) runs and escapes for end of line,
// end of picture, a jump and literal runs. Pixels that no run reaches stay
// as they are (white). Runs beyond the picture are cut off.
void DecodeRle(const std::uint8_t* data, std::size_t size, bool four, const Rgb* palette,
               std::size_t paletteSize, Picture& picture, const std::string& name) {
  const std::int64_t width = picture.Width;
  const std::int64_t height = picture.Height;
  std::int64_t x = 0;
  std::int64_t row = 0;  // counted from the bottom
  auto put = [&](unsigned index) {
    if (x < width && row < height) {
      Rgb colour = index < paletteSize ? palette[index] : kBlack;
      picture.Pixels[std::size_t(height - 1 - row) * std::size_t(width) + std::size_t(x)] = colour;
    }
    ++x;
  };
  std::size_t p = 0;
  while (row < height) {
    if (size - p < 2) Fail(name, "the BMP pixel data is cut short");
    unsigned count = data[p];
    unsigned value = data[p + 1];
    p += 2;
    if (count > 0) {
      // Only the part that lands inside the row is drawn; x may run on past it.
      if (x >= width) {
        x += count;
        continue;
      }
      for (unsigned i = 0; i < count; ++i)
        put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++row;
        break;
      case 1:  // end of picture
        return;
      case 2:  // jump right and up
        if (size - p < 2) Fail(name, "the BMP pixel data is cut short");
        x += data[p];
        row += data[p + 1];
        p += 2;
        break;
      default: {  // `value` literal pixels, padded to a whole word
        std::size_t bytes = four ? (value + 1) / 2 : value;
        std::size_t padded = bytes + (bytes & 1);
        if (size - p < bytes) Fail(name, "the BMP pixel data is cut short");
        for (unsigned i = 0; i < value; ++i)
          put(four ? ((i & 1) ? data[p + i / 2] & 0x0F : data[p + i / 2] >> 4) : data[p + i]);
        p += std::min(padded, size - p);
        break;
      }
    }
  }
}

}  // namespace

Picture DecodeBmp(const std::uint8_t* data, std::size_t size, const std::string& name) {
  BmpHeader h = ReadHeader(data, size, name);
  CheckPictureSize(h.Width, h.Height, name);
  const int width = int(h.Width);
  const int height = int(h.Height);

  // Colour table of the paletted forms.
  Rgb palette[256];
  std::size_t paletteSize = 0;
  if (h.BitsPerPixel <= 8) {
    std::size_t full = std::size_t(1) << h.BitsPerPixel;
    paletteSize = (h.ColoursUsed != 0 && h.ColoursUsed < full) ? h.ColoursUsed : full;
    std::size_t available =
        h.PaletteOffset < size ? (size - h.PaletteOffset) / std::size_t(h.PaletteEntrySize) : 0;
    if (available < paletteSize) {
      // Some writers announce a full table but store only the colours used; the
      // pixel data still has to come after whatever table there is.
      if (available == 0) throw TavlinError(name, "the BMP colour table is missing");
      paletteSize = available;
    }
    for (std::size_t i = 0; i < paletteSize; ++i) {
      const std::uint8_t* e = data + h.PaletteOffset + i * std::size_t(h.PaletteEntrySize);
      palette[i] = RgbOf(e[2], e[1], e[0]);
    }
  }

  if (h.PixelOffset < kFileHeaderSize + 12 || h.PixelOffset > size)
    throw TavlinError(name, "the BMP pixel data offset " + std::to_string(h.PixelOffset) +
                                " lies outside the file");
  if (h.Compression == kBiRle8 || h.Compression == kBiRle4) {
    Picture picture;
    picture.Width = width;
    picture.Height = height;
    picture.Pixels.assign(std::size_t(width) * std::size_t(height), kWhite);
    DecodeRle(data + h.PixelOffset, size - h.PixelOffset, h.Compression == kBiRle4, palette,
              paletteSize, picture, name);
    return picture;
  }
  const std::uint64_t stride =
      ((std::uint64_t(width) * std::uint64_t(h.BitsPerPixel) + 31) / 32) * 4;
  const std::uint64_t pixelBytes = stride * std::uint64_t(height);
  if (pixelBytes > size - h.PixelOffset) throw TavlinError(name, "the BMP pixel data is cut short");

  Channel red, green, blue, alpha;
  if (h.HasMasks) {
    red = Channel(h.Masks[0]);
    green = Channel(h.Masks[1]);
    blue = Channel(h.Masks[2]);
    if (h.HasAlphaMask) alpha = Channel(h.Masks[3]);
  } else if (h.BitsPerPixel == 16) {
    red = Channel(0x7C00);
    green = Channel(0x03E0);
    blue = Channel(0x001F);
  } else if (h.BitsPerPixel == 32) {
    red = Channel(0x00FF0000);
    green = Channel(0x0000FF00);
    blue = Channel(0x000000FF);
  }

  Picture picture;
  picture.Width = width;
  picture.Height = height;
  picture.Pixels.resize(std::size_t(width) * std::size_t(height));
  std::vector<std::uint8_t> alphas;
  bool anyAlpha = false;
  if (alpha.Mask != 0) alphas.resize(picture.Pixels.size());

  for (int fileRow = 0; fileRow < height; ++fileRow) {
    const std::uint8_t* row = data + h.PixelOffset + std::size_t(fileRow) * std::size_t(stride);
    int y = h.TopDown ? fileRow : height - 1 - fileRow;
    Rgb* out = picture.Pixels.data() + std::size_t(y) * std::size_t(width);
    switch (h.BitsPerPixel) {
      case 1:
      case 4:
      case 8: {
        const int bits = h.BitsPerPixel;
        const int perByte = 8 / bits;
        const unsigned mask = (1u << bits) - 1;
        for (int x = 0; x < width; ++x) {
          std::uint8_t byte = row[x / perByte];
          int shift = 8 - bits * (x % perByte + 1);
          unsigned index = (byte >> shift) & mask;
          out[x] = index < paletteSize ? palette[index] : kBlack;
        }
        break;
      }
      case 24:
        for (int x = 0; x < width; ++x) {
          const std::uint8_t* p = row + 3 * std::size_t(x);
          out[x] = RgbOf(p[2], p[1], p[0]);
        }
        break;
      case 16:
      case 32: {
        const bool wide = h.BitsPerPixel == 32;
        for (int x = 0; x < width; ++x) {
          std::uint32_t v = wide ? U32(row + 4 * std::size_t(x)) : U16(row + 2 * std::size_t(x));
          out[x] = RgbOf(int(red.Value(v)), int(green.Value(v)), int(blue.Value(v)));
          if (!alphas.empty()) {
            auto a = std::uint8_t(alpha.Value(v));
            alphas[std::size_t(y) * std::size_t(width) + std::size_t(x)] = a;
            anyAlpha = anyAlpha || a != 0;
          }
        }
        break;
      }
    }
  }

  // Many writers leave the alpha channel at 0 throughout; only a channel that
  // says something makes pixels transparent, and those are shown on white.
  if (anyAlpha) {
    for (std::size_t i = 0; i < picture.Pixels.size(); ++i) {
      unsigned a = alphas[i];
      if (a == 255) continue;
      Rgb c = picture.Pixels[i];
      auto blend = [a](unsigned v) { return int((v * a + 255 * (255 - a) + 127) / 255); };
      picture.Pixels[i] = RgbOf(blend((c >> 16) & 0xFF), blend((c >> 8) & 0xFF), blend(c & 0xFF));
    }
  }
  return picture;
}

}  // namespace tavlin
