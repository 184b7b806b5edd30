#include "BrickRenderer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>

#include "BrickScreen.h"

namespace tavlin {

const char* BrickVariantName(BrickVariant v) {
  switch (v) {
    case BrickVariant::Lego:
      return "lego";
    case BrickVariant::Enhanced131:
      return "enhanced131";
    case BrickVariant::Enhanced132:
      return "enhanced132";
  }
  return "enhanced132";
}

std::optional<BrickVariant> ParseBrickVariant(std::string_view name) {
  for (BrickVariant v : {BrickVariant::Lego, BrickVariant::Enhanced131, BrickVariant::Enhanced132})
    if (name == BrickVariantName(v)) return v;
  return std::nullopt;
}

const char* BrickSourceName(BrickSource source) {
  return source == BrickSource::Array ? "array" : "file";
}

std::optional<BrickSource> ParseBrickSource(std::string_view name) {
  for (BrickSource s : {BrickSource::File, BrickSource::Array})
    if (name == BrickSourceName(s)) return s;
  return std::nullopt;
}

namespace {

using namespace brick;

constexpr int kW = BrickScreen::kW;
constexpr int kH = BrickScreen::kH;

// Size words below these make the brick skip the op (index: opcode).
constexpr std::array<std::uint16_t, 11> kMinimumSize = {0, 10, 10, 18, 10, 12, 12, 10, 10, 12, 18};

// clang-format off
constexpr std::array<const char*, 11> kOpName = {
  "Description", "Sprite", "VarMap", "CopyBits", "Pixel", "Line", "Rectangle", "Circle", "NumBox",
  "Ellipse", "Polygon"};
// clang-format on

// The argument words of each drawing op, by byte offset from the op's start.
struct ArgField {
  int Offset;
  const char* Name;
};
// clang-format off
const std::vector<ArgField> kArgFields[11] = {
  {}, {}, {},
  {{4, "CopyOpt"}, {6, "SpriteID"}, {8, "PosX"}, {10, "PosY"}, {12, "Width"}, {14, "Height"},
   {16, "RelX"}, {18, "RelY"}},
  {{4, "CopyOpt"}, {6, "PosX"}, {8, "PosY"}},
  {{4, "CopyOpt"}, {6, "X1"}, {8, "Y1"}, {10, "X2"}, {12, "Y2"}},
  {{4, "CopyOpt"}, {6, "PosX"}, {8, "PosY"}, {10, "Width"}, {12, "Height"}},
  {{4, "CopyOpt"}, {6, "PosX"}, {8, "PosY"}, {10, "Radius"}},
  {{4, "CopyOpt"}, {6, "PosX"}, {8, "PosY"}, {10, "Value"}},
  {{4, "CopyOpt"}, {6, "PosX"}, {8, "PosY"}, {10, "RadiusX"}, {12, "RadiusY"}},
  {{4, "CopyOpt"}},
};
// clang-format on

std::string Format(const char* fmt, long long a = 0, long long b = 0, long long c = 0) {
  char buf[256];
  std::snprintf(buf, sizeof buf, fmt, a, b, c);
  return buf;
}

// One run of a picture: walks the ops as the firmware does, resolving their
// arguments, drawing on the screen and collecting what it finds on the way.
class BrickRun {
 public:
  BrickRun(const std::uint8_t* ric, std::size_t size, const BrickCall& call)
      : ric_(ric),
        size_(size),
        call_(call),
        lego_(call.Variant == BrickVariant::Lego),
        v132_(call.Variant == BrickVariant::Enhanced132),
        array_(call.Source == BrickSource::Array) {
    table_.fill(kNone);
    // From an array, what the firmware writes into the picture sticks: the
    // run works on a copy it may write to.
    if (array_) {
      copy_.assign(ric, ric + size);
      ric_ = copy_.data();
    }
  }
  // Whether the picture is drawn from a program's array, whose bytes a
  // polygon rewrites; then the ops run in file order only.
  bool FromArray() const { return array_; }

  BrickScreen screen;
  std::vector<BrickFinding> undefined;
  std::vector<BrickFinding> checks;
  BrickFinding stop;      // where the walk stopped before the end, and why
  bool checking = false;  // only checks: nothing is drawn

  // Draws the picture. Backward, it runs the ops last first and stops once
  // every pixel is decided (see BrickScreen); what earlier ops would report
  // is then not found.
  void Run(bool backward = false);

 private:
  static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

  // --- reading the picture bytes; beyond them the brick's result is undefined ---
  bool Has(std::int64_t offset, std::int64_t bytes) const {
    return offset >= 0 && bytes >= 0 && std::uint64_t(offset + bytes) <= size_;
  }
  // The word at an offset known to lie in the file.
  std::uint16_t RawWord(std::int64_t offset) const {
    return std::uint16_t(ric_[offset] | (ric_[offset + 1] << 8));
  }
  std::uint16_t Word(std::int64_t offset) {
    if (!Has(offset, 2)) {
      Undefined("reads past the end of the file");
      return 0;
    }
    return RawWord(offset);
  }
  void Undefined(const std::string& text, bool alsoCheck = true) {
    bad_ = true;
    Add(undefined, text);
    if (checking && alsoCheck) Add(checks, text);
  }
  void Check(const std::string& text) {
    if (checking) Add(checks, text);
  }
  void Stop(const std::string& text) {
    stop = {element_, text};
    Check(text);
  }
  // Findings come in element order, so a repeat can only be among the
  // current element's.
  void Add(std::vector<BrickFinding>& list, const std::string& text) {
    for (auto f = list.rbegin(); f != list.rend() && f->Element == element_; ++f)
      if (f->Text == text) return;
    list.push_back({element_, text});
  }

  // --- argument words ---
  // Constants, the most common argument, are resolved here; parameter
  // references by ResolveReference.
  std::int32_t Resolve(std::uint16_t word) {
    return (word & 0xF000) == 0 ? std::int16_t(word) : ResolveReference(word);
  }
  std::int32_t ResolveReference(std::uint16_t word);
  // The argument word at this offset in the current op. A run op lies wholly
  // in the file unless it claims more bytes than are left, and its fields
  // lie within its minimum size, so only such an op needs the checked read.
  std::int32_t Arg(int fieldOffset) {
    const std::int64_t at = op_ + fieldOffset;
    return Resolve(opInFile_ ? RawWord(at) : Word(at));
  }
  void CheckArgument(std::uint16_t word, const char* name);

  // --- drawing from the picture's bytes ---
  void CopyBits(std::int32_t dstX, std::int32_t dstY, std::int32_t srcX, std::int32_t srcY,
                std::int32_t width, std::int32_t height, std::size_t sprite, BitmapMode mode);
  void Font(std::uint16_t width, std::uint16_t height);

  // --- ops ---
  template <class RunFn>
  void Walk(RunFn&& run);
  void RunOp(std::uint16_t opcode, std::uint16_t sizeWord);
  void CheckOp(std::uint16_t opcode);
  void CheckLegoOptions(std::uint16_t opcode, std::uint16_t word);
  void CheckLegoPixel(std::int64_t x, std::int64_t y);
  std::size_t Lookup(std::int64_t id) const {
    return id >= 1 && id <= 10 ? table_[std::size_t(id)] : kNone;
  }
  bool IsSprite(std::size_t at) const {
    return at != kNone && Has(std::int64_t(at) + 2, 2) && ric_[at + 2] == 1 && ric_[at + 3] == 0;
  }

  const std::uint8_t* ric_;
  std::size_t size_;
  const BrickCall& call_;
  bool lego_, v132_, array_;
  std::vector<std::uint8_t> copy_;  // the array's bytes, drawn from an array
  std::array<std::size_t, 11> table_;
  std::array<int, 11> tableElement_{};  // the element that put each entry
  std::int64_t op_ = 0;                 // the current op's offset
  bool opInFile_ = false;               // whether all of the current op's bytes lie in the file
  int element_ = 0;
  bool bad_ = false;
  BitmapMode callMode_;
  std::uint16_t callOptions_ = 0;
};

std::int32_t BrickRun::ResolveReference(std::uint16_t word) {
  const std::int16_t raw = std::int16_t(word);
  const std::size_t count = call_.Parameters.size();
  std::int32_t arg;
  if (lego_) {
    const unsigned index = word & 0x0F;
    if (index >= count) {
      // The checks name the field; the render reports it without.
      Undefined(Format("uses parameter %lld, but the program passes %lld: the value is undefined",
                       index, count),
                false);
      return 0;
    }
    arg = std::int16_t(call_.Parameters[index]);
  } else {
    const unsigned index = word & 0xFF;
    if (index >= count) return raw;
    arg = std::int16_t(call_.Parameters[index]);
  }
  const unsigned mapId = (word >> 8) & 0x0F;
  const std::size_t map = Lookup(mapId);
  if (map == kNone) return arg;
  // The entry is read as a VarMap whatever its kind.
  const std::int64_t m = std::int64_t(map);
  const std::int32_t mapCount = Word(m + 6);
  std::int32_t dPrev = Word(m + 8), rPrev = Word(m + 10);
  if (bad_) return 0;
  if (arg <= dPrev) return rPrev;
  std::int32_t rCur = 0;
  bool haveCur = false;
  for (std::int32_t i = 1; i < mapCount; ++i) {
    const std::int32_t dCur = Word(m + 8 + 4 * i), rc = Word(m + 10 + 4 * i);
    if (bad_) return 0;
    rCur = rc;
    haveCur = true;
    if (arg < dCur)
      return Wrap32(rPrev + Wrap32(std::int64_t(arg - dPrev) * (rCur - rPrev)) / (dCur - dPrev));
    dPrev = dCur;
    rPrev = rCur;
  }
  if (!haveCur) {
    Undefined(
        Format("VarMap %lld has fewer than 2 points and the value lies above its first "
               "domain: the result is undefined",
               mapId));
    return 0;
  }
  return rCur;
}

void BrickRun::CheckArgument(std::uint16_t word, const char* name) {
  if ((word & 0xF000) == 0) return;
  // Any tag nibble marks a reference for the brick and the editor alike (NXC's
  // RICArg and RICMapArg tag with 0x1), so the tag itself is never reported.
  const std::size_t count = call_.Parameters.size();
  const unsigned index = lego_ ? word & 0x0F : word & 0xFF;
  if (lego_ && (word & 0xFF) != index)
    Check(std::string(name) + Format(" uses parameter %lld: the LEGO firmware reads parameter %lld",
                                     word & 0xFF, index));
  if (index >= count)
    Check(std::string(name) +
          (lego_
               ? Format(" uses parameter %lld, but the program passes %lld: the value is undefined",
                        index, count)
               : Format(" uses parameter %lld, but the program passes %lld: the raw word %lld is "
                        "used",
                        index, count, std::int16_t(word))));
}

// Copies from the sprite's bottom-left origin, clipped to the screen on all
// sides. Source bytes are not checked against the sprite: outside it they come
// from the neighbouring bytes of the file.
void BrickRun::CopyBits(std::int32_t dstX, std::int32_t dstY, std::int32_t srcX, std::int32_t srcY,
                        std::int32_t width, std::int32_t height, std::size_t sprite,
                        BitmapMode mode) {
  if (!IsSprite(sprite)) return;
  std::int64_t dx = dstX, dy = dstY, sx0 = srcX, sy0 = srcY, w = width, h = height;
  if (dx < 0) {
    sx0 -= dx;
    w += dx;
    dx = 0;
  }
  const std::int64_t lastX = std::min<std::int64_t>(dx + w, kW);
  if (dy < 0) {
    sy0 -= dy;
    h += dy;
    dy = 0;
  }
  const std::int64_t lastY = std::min<std::int64_t>(dy + h, kH);
  const std::int64_t columns = lastX - dx, rowCount = lastY - dy;
  if (columns <= 0 || rowCount <= 0) return;
  const std::int64_t s = std::int64_t(sprite);
  const std::int64_t spriteRows = Word(s + 6), rowBytes = Word(s + 8);
  if (bad_) return;
  // The bytes of the first row copied (the bottom one) and of the last.
  const std::int64_t firstRow = s + 10 + (spriteRows - 1 - sy0) * rowBytes;
  const std::int64_t lastRow = firstRow - (rowCount - 1) * rowBytes;
  if (!mode.Fill) {
    const std::int64_t lo = std::min(firstRow, lastRow) + (sx0 >> 3);
    const std::int64_t hi = std::max(firstRow, lastRow) + ((sx0 + columns - 1) >> 3);
    if (!Has(lo, hi - lo + 1)) {
      Undefined("copies bytes from beyond the file: the result is undefined");
      return;
    }
  }
  if (checking) return;
  // Each row's source bits, gathered big-endian into one number and moved so
  // that column c of the copy lands on screen column dx + c.
  const std::int64_t firstByte = sx0 >> 3;
  const int skipBits = int(sx0 - firstByte * 8);
  const int byteCount = int(((sx0 + columns - 1) >> 3) - firstByte + 1);
  const Row mask = Span(int(dx), int(columns));
  for (std::int64_t r = 0; r < rowCount; ++r) {
    Row source = ~Row(0);
    if (!mode.Fill) {
      const std::uint8_t* bytes = ric_ + (firstRow - r * rowBytes + firstByte);
      Row gathered = 0;
      for (int k = 0; k < byteCount; ++k) gathered = (gathered << 8) | bytes[k];
      // The first copied bit sits at bit 8 * byteCount - 1 - skipBits; it
      // belongs at bit 127 - dx.
      const int shift = (127 - int(dx)) - (8 * byteCount - 1 - skipBits);
      source = shift >= 0 ? gathered << shift : gathered >> -shift;
    }
    if (mode.Invert) source = ~source;
    screen.Combine(int(kH - 1 - (dy + r)), source, mask, mode.Op);
  }
}

// A font picture: the parameter array is the text, sprite 1 holds the glyphs
// and VarMaps 2 to 5 give each code's x, y, width and height in it.
void BrickRun::Font(std::uint16_t descWidth, std::uint16_t descHeight) {
  const auto& text = call_.Parameters;
  if (text.empty()) return;
  const std::int32_t stdW = std::min<std::int32_t>(descWidth, kW);
  const std::int32_t stdH = std::min<std::int32_t>(descHeight, kH);
  const std::int32_t startX = std::int16_t(call_.X), startY = std::int16_t(call_.Y);
  std::int32_t xpos = startX, ypos = startY;
  const bool wrap = callOptions_ & 0x200;
  const unsigned direction = (callOptions_ >> 6) & 7;
  for (std::size_t index = 0; index < text.size() && index < 256; ++index) {
    if (text[index] == 0) break;
    const std::int32_t sx = Resolve(std::uint16_t(0xF200 | index));
    const std::int32_t sy = Resolve(std::uint16_t(0xF300 | index));
    const std::int32_t sw = Resolve(std::uint16_t(0xF400 | index));
    const std::int32_t sh = Resolve(std::uint16_t(0xF500 | index));
    if (bad_) return;
    std::int32_t destX = xpos, destY = ypos;
    switch (direction) {
      case 0:  // left to right, bottom aligned
        if (wrap && xpos + sw > kW) xpos = startX, ypos -= stdH;
        destX = xpos, destY = ypos, xpos += sw;
        break;
      case 1:  // left to right, top aligned
        if (wrap && xpos + sw > kW) xpos = startX, ypos += stdH;
        destX = xpos, destY = ypos - sh + 1, xpos += sw;
        break;
      case 2:  // right to left, bottom aligned
        if (wrap && xpos - sw < 0) xpos = startX, ypos -= stdH;
        destX = xpos - sw + 1, destY = ypos, xpos -= sw;
        break;
      case 3:  // right to left, top aligned
        if (wrap && xpos - sw < 0) xpos = startX, ypos += stdH;
        destX = xpos - sw + 1, destY = ypos - sh + 1, xpos -= sw;
        break;
      case 4:  // bottom to top, left aligned
        if (wrap && ypos + sh > kH) xpos += stdW, ypos = startY;
        destX = xpos, destY = ypos, ypos += sh;
        break;
      case 5:  // bottom to top, right aligned
        if (wrap && ypos + sh > kH) xpos -= stdW, ypos = startY;
        destX = xpos - sw + 1, destY = ypos, ypos += sh;
        break;
      case 6:  // top to bottom, left aligned
        if (wrap && ypos - sh < 0) xpos += stdW, ypos = startY;
        destX = xpos, destY = ypos - sh + 1, ypos -= sh;
        break;
      default:  // top to bottom, right aligned
        if (wrap && ypos - sh < 0) xpos -= stdW, ypos = startY;
        destX = xpos - sw + 1, destY = ypos - sh + 1, ypos -= sh;
        break;
    }
    // The firmware keeps the running position in 16 bits.
    xpos = std::int16_t(xpos);
    ypos = std::int16_t(ypos);
    CopyBits(destX, destY, sx, sy, sw, sh, table_[1], callMode_);
    if (bad_) return;
  }
}

void BrickRun::Run(bool backward) {
  const bool clear = call_.Options & 3;
  if (clear) screen.rows.fill(0);
  callOptions_ = std::uint16_t(call_.Options);
  if (!lego_) callMode_ = BitmapModeOf(std::uint16_t(Resolve(callOptions_)));
  if (!backward) {
    Walk([&](std::uint16_t opcode, std::uint16_t sizeWord) {
      if (checking) CheckOp(opcode);
      RunOp(opcode, sizeWord);
    });
    return;
  }
  // The ops to run, in file order, with the table entry each sprite or
  // VarMap replaced. Walking back, undoing those replacements leaves each
  // op the table it had.
  struct Step {
    std::int64_t at;
    int element;
    std::uint16_t opcode, sizeWord;
    bool inFile;
    std::size_t replaced;
  };
  std::vector<Step> steps;
  Walk([&](std::uint16_t opcode, std::uint16_t sizeWord) {
    Step step{op_, element_, opcode, sizeWord, opInFile_, kNone};
    if (opcode == 1 || opcode == 2) {
      const std::uint16_t id = Word(op_ + 4);
      if (bad_ || id < 1 || id > 10) return;
      step.replaced = table_[id];
      table_[id] = std::size_t(op_);
    }
    steps.push_back(step);
  });
  screen.BeginBackward();
  for (auto step = steps.rbegin(); step != steps.rend() && !screen.AllDecided(); ++step) {
    op_ = step->at;
    element_ = step->element;
    opInFile_ = step->inFile;
    bad_ = false;
    if (step->opcode == 1 || step->opcode == 2)
      table_[Word(op_ + 4)] = step->replaced;
    else
      RunOp(step->opcode, step->sizeWord);
  }
  screen.EndBackward();
}

// Walks the ops as the firmware does, stopping where it stops, and hands
// each op it runs to `run` with op_, element_ and opInFile_ set.
template <class RunFn>
void BrickRun::Walk(RunFn&& run) {
  std::int64_t remaining = std::int64_t(size_);
  std::int64_t at = 0;
  while (true) {
    if (remaining < 4) break;
    ++element_;
    op_ = at;
    bad_ = false;
    const std::uint16_t sizeWord = Word(at);
    const std::uint16_t opcode = Word(at + 2);
    const std::int64_t step = std::int64_t(sizeWord) + 2;
    if (step & 1) {
      Stop("odd size: the brick stops here and draws nothing after it");
      break;
    }
    const bool known = opcode <= 10 && !(lego_ && opcode >= 7 && opcode != 8);
    if (!known) {
      if (lego_ && (opcode == 7 || opcode == 9 || opcode == 10))
        Stop(std::string("the LEGO firmware has no ") + kOpName[opcode] +
             ": the brick stops here and draws nothing after it");
      else
        Stop(Format("opcode %lld is unknown: the brick stops here and draws nothing after it",
                    opcode));
      break;
    }
    if (sizeWord == 0 && checking)
      Check("size 0: the brick reads the next word as an opcode and walks out of step");
    if (sizeWord < kMinimumSize[opcode]) {
      if (checking)
        Check(std::string(kOpName[opcode]) +
              Format(" is too short (size %lld, needs %lld): the brick skips it", sizeWord,
                     kMinimumSize[opcode]));
    } else {
      opInFile_ = step <= remaining;
      run(opcode, sizeWord);
    }
    if (step > remaining) {
      const char* text =
          "claims more bytes than the file holds: the brick walks on into memory after it";
      Undefined(text);
      stop = {element_, text};
      break;
    }
    remaining -= step;
    at += step;
  }
}

void BrickRun::CheckOp(std::uint16_t opcode) {
  const std::int64_t o = op_;
  for (const ArgField& f : kArgFields[opcode]) {
    if (lego_ && f.Offset == 4) continue;  // the LEGO firmware never reads CopyOpt
    if (opInFile_ || Has(o + f.Offset, 2)) CheckArgument(RawWord(o + f.Offset), f.Name);
  }
  if (lego_ && !kArgFields[opcode].empty() && Has(o + 4, 2))
    CheckLegoOptions(opcode, RawWord(o + 4));
  switch (opcode) {
    case 1:
    case 2: {
      const std::uint16_t id = Word(o + 4);
      if (id < 1 || id > 10)
        Check(Format("id %lld is outside 1 to 10: the brick ignores this ", id) + kOpName[opcode]);
      if (opcode == 2 && Has(o + 6, 2) && Word(o + 6) < 2)
        Check("VarMap with fewer than 2 points: values above its first domain are undefined");
      break;
    }
    case 10: {
      bool usesParameters = false;
      const std::uint16_t count = Word(o + 6);
      for (std::int64_t i = 0; i < 2 * std::int64_t(count) && Has(o + 8 + 2 * i, 2); ++i)
        usesParameters |= (Word(o + 8 + 2 * i) & 0xF000) != 0;
      // The two sources draw such a polygon differently; a file draws it as written.
      if (usesParameters)
        Check("polygon points use parameters: drawn from a file, the brick uses the raw words");
      if (call_.X != 0 || call_.Y != 0)
        Check("drawn from a file, the brick does not move polygon points by the picture position");
      if (array_ && Has(o + 2, 2) && 8 + 4 * std::int64_t(count) > std::int64_t(Word(o)) + 2)
        Check(
            Format("polygon count %lld runs past its element: drawn from an array, the brick "
                   "writes points over the bytes that follow",
                   count));
      break;
    }
    default:
      break;
  }
}

// The LEGO firmware keeps 8 bits of a pixel's position, so a pixel far off the
// screen can come back onto it.
void BrickRun::CheckLegoPixel(std::int64_t x, std::int64_t y) {
  if (x >= 0 && x <= 255 && y >= 0 && y <= 255) return;
  const std::uint8_t c = Wrap8(x), r = Wrap8(kH - 1 - y);
  if (c >= kW || r >= kH) return;
  Check("pixel at (" + std::to_string(x) + ", " + std::to_string(y) +
        "): the LEGO firmware wraps the position and draws it at (" + std::to_string(c) + ", " +
        std::to_string(kH - 1 - r) + ")");
}

// The LEGO firmware never reads the copy options: shapes are drawn hollow and
// black, sprites and digits copied as they are. A reference is left alone: its
// value is the program's.
void BrickRun::CheckLegoOptions(std::uint16_t opcode, std::uint16_t word) {
  if ((word & 0xF000) != 0 || (word & 0x3C) == 0) return;
  const bool bitmap = opcode == 3 || opcode == 8;
  std::string names;
  auto name = [&](const char* n) { names += (names.empty() ? "" : ", ") + std::string(n); };
  if (word & 0x20) name(bitmap ? "solid" : "fill");
  if (word & 0x04) name("invert");
  static constexpr const char* kLogic[4] = {nullptr, "AND", "OR", "XOR"};
  if (word & 0x18) name(kLogic[(word >> 3) & 3]);
  Check("copy options " + names + ": the LEGO firmware ignores them and " +
        (opcode == 3   ? "copies the sprite as it is"
         : opcode == 8 ? "draws the digits as they are"
                       : "draws hollow and black"));
}

void BrickRun::RunOp(std::uint16_t opcode, std::uint16_t sizeWord) {
  (void)sizeWord;
  const std::int64_t o = op_;
  const std::int32_t px0 = std::int16_t(call_.X), py0 = std::int16_t(call_.Y);
  PixelMode mode = PixelMode::Set;
  bool fill = false;
  auto shapeMode = [&] {
    if (!lego_) ShapeModeOf(std::uint16_t(Arg(4)), mode, fill);
  };
  switch (opcode) {
    case 0:
      if (!lego_) {
        const std::uint16_t options = Word(o + 4);
        if (bad_ || options != 0x8001) return;
        const std::uint16_t w = Word(o + 6), h = Word(o + 8);
        if (bad_) return;
        screen.BeginParts();
        Font(w, h);
        screen.EndParts();
      }
      return;
    case 1:
    case 2: {
      const std::uint16_t id = Word(o + 4);
      if (!bad_ && id >= 1 && id <= 10) {
        table_[id] = std::size_t(o);
        tableElement_[id] = element_;
      }
      return;
    }
    case 3: {
      BitmapMode m;
      if (!lego_) m = BitmapModeOf(std::uint16_t(Arg(4)));
      const std::int32_t id = Arg(6);
      const std::int32_t srcX = Arg(8), srcY = Arg(10), w = Arg(12), h = Arg(14);
      const std::int32_t dstX = Wrap32(std::int64_t(Arg(16)) + px0);
      const std::int32_t dstY = Wrap32(std::int64_t(Arg(18)) + py0);
      if (bad_) return;
      const std::size_t sprite = Lookup(id);
      if (!IsSprite(sprite)) {
        if (checking) {
          // Sprites and VarMaps share the ids: name the VarMap that took this one.
          if (sprite != kNone && !IsSprite(sprite))
            Check(
                Format("finds no sprite with id %lld here: the VarMap at step %lld took id %lld, "
                       "so nothing is drawn",
                       id, tableElement_[std::size_t(id)], id));
          else
            Check(Format("finds no sprite with id %lld here: nothing is drawn", id));
        }
        return;
      }
      if (checking) {
        const std::int64_t cols = std::int64_t(Word(std::int64_t(sprite) + 8)) * 8;
        const std::int64_t rows = Word(std::int64_t(sprite) + 6);
        if (w > 0 && h > 0 && (srcX < 0 || srcY < 0 || srcX + w > cols || srcY + h > rows))
          Check(Format("the source lies outside sprite %lld: the brick copies the bytes around it",
                       id));
      }
      CopyBits(dstX, dstY, srcX, srcY, w, h, sprite, m);
      return;
    }
    case 4: {
      shapeMode();
      const std::int32_t x = Wrap32(std::int64_t(Arg(6)) + px0);
      const std::int32_t y = Wrap32(std::int64_t(Arg(8)) + py0);
      if (bad_) return;
      if (checking) {
        if (lego_) CheckLegoPixel(x, y);
        return;
      }
      if (lego_)
        screen.SetPixel8(x, y);
      else
        screen.SetPixel(x, y, mode);
      return;
    }
    case 5: {
      shapeMode();
      const std::int32_t x1 = Wrap32(std::int64_t(Arg(6)) + px0);
      const std::int32_t y1 = Wrap32(std::int64_t(Arg(8)) + py0);
      const std::int32_t x2 = Wrap32(std::int64_t(Arg(10)) + px0);
      const std::int32_t y2 = Wrap32(std::int64_t(Arg(12)) + py0);
      if (bad_ || checking) return;
      if (lego_)
        screen.LegoLine(x1, y1, x2, y2);
      else
        screen.Line(x1, y1, x2, y2, mode);
      return;
    }
    case 6: {
      shapeMode();
      const std::int16_t x = Wrap16(std::int64_t(Arg(6)) + px0);
      const std::int16_t y = Wrap16(std::int64_t(Arg(8)) + py0);
      const std::int16_t w = Wrap16(Arg(10)), h = Wrap16(Arg(12));
      if (bad_ || checking) return;
      if (lego_)
        screen.LegoRect(x, y, w, h);
      else
        screen.Rect(x, y, w, h, mode, fill);
      return;
    }
    case 7:
    case 9: {
      shapeMode();
      const std::int16_t x = Wrap16(std::int64_t(Arg(6)) + px0);
      const std::int16_t y = Wrap16(std::int64_t(Arg(8)) + py0);
      const std::int16_t a = Wrap16(Arg(10));
      const std::int16_t b = opcode == 7 ? a : Wrap16(Arg(12));
      if (bad_ || checking) return;
      screen.Ellipse(x, y, a, b, mode, fill);
      return;
    }
    case 8: {
      BitmapMode m;
      if (!lego_) m = BitmapModeOf(std::uint16_t(Arg(4)));
      const std::int32_t value = Arg(10);
      const std::uint8_t x = Wrap8(std::int64_t(Arg(6)) + px0);
      const std::uint8_t y = Wrap8(std::int64_t(Arg(8)) + py0);
      if (bad_) return;
      const std::string text = std::to_string(value);
      if (checking) {
        const std::uint32_t limit = v132_ ? kW : kW - 1;
        const std::uint32_t fits =
            std::uint32_t(x) + 6 > limit ? 0 : (limit - std::uint32_t(x)) / 6;
        const std::int32_t signedX = Wrap32(std::int64_t(Arg(6)) + px0);
        if (signedX < 0)
          Check("number box at a negative x: the brick draws nothing");
        else if (fits == 0)
          Check(Format("number box at x %lld cannot draw: its first digit does not fit", signedX));
        else if (fits < text.size())
          Check(Format("number box shows only %lld of its %lld characters", fits, text.size()));
        return;
      }
      screen.Text(text, x, y, m, v132_);
      return;
    }
    case 10: {
      const std::uint16_t options = Word(o + 4);
      shapeMode();
      const std::uint16_t count = Word(o + 6);
      if (bad_) return;
      if (fill && count > 128) {
        Check("filled polygon with more than 128 points: the brick skips it");
        return;
      }
      // Drawn from a file in flash, the points are the raw words: the
      // firmware's write-back of the resolved points does not take. From an
      // array it does, and the points drawn are the resolved ones.
      const std::size_t used = std::max<std::size_t>(count, 1);
      if (!Has(o + 8, std::int64_t(used) * 4)) {
        Undefined("polygon points run past the end of the file: the result is undefined");
        return;
      }
      if (checking) return;
      std::vector<std::array<std::int16_t, 2>> points(fill ? count : used);
      for (std::size_t i = 0; i < points.size(); ++i) {
        const std::int64_t at = o + 8 + 4 * std::int64_t(i);
        if (array_) {
          // Resolved and written back in place, where the write sticks.
          const std::int32_t x = Arg(int(at - o)) + px0, y = Arg(int(at + 2 - o)) + py0;
          if (bad_) return;
          copy_[std::size_t(at)] = std::uint8_t(x);
          copy_[std::size_t(at) + 1] = std::uint8_t(x >> 8);
          copy_[std::size_t(at) + 2] = std::uint8_t(y);
          copy_[std::size_t(at) + 3] = std::uint8_t(y >> 8);
        }
        points[i] = {std::int16_t(Word(at)), std::int16_t(Word(at + 2))};
      }
      screen.Polygon(points, mode, fill, options & 0x400);
      return;
    }
    default:
      return;
  }
}

}  // namespace

void RenderBrick(NXTDisplay& screen, const std::uint8_t* ric, std::size_t size,
                 const BrickCall& call, std::vector<BrickFinding>* undefined) {
  BrickRun run(ric, size, call);
  const Rgb* in = screen.Pixels();
  for (int r = 0; r < kH; ++r)
    for (int c = 0; c < kW; ++c)
      if (in[r * kW + c] != kWhite) run.screen.rows[std::size_t(r)] |= ColumnBit(c);
  // Only a caller that wants every undefined element reported needs all ops run.
  run.Run(undefined == nullptr && !run.FromArray());
  Rgb* out = screen.MutablePixels();
  for (int r = 0; r < kH; ++r)
    for (int c = 0; c < kW; ++c)
      out[r * kW + c] = run.screen.rows[std::size_t(r)] & ColumnBit(c) ? kBlack : kWhite;
  if (undefined) *undefined = std::move(run.undefined);
}

std::vector<BrickFinding> CheckBrick(const std::uint8_t* ric, std::size_t size,
                                     const BrickCall& call) {
  BrickRun run(ric, size, call);
  run.checking = true;
  if (size > kBrickProgramPoolBytes)
    run.checks.push_back(
        {0, Format("the picture is %lld bytes, more than the %lld bytes the brick holds for all "
                   "of a program's data (the firmware's memory pool): a program cannot hold it "
                   "as an array for GraphicArrayOut",
                   (long long)size, (long long)kBrickProgramPoolBytes)});
  run.Run();
  return std::move(run.checks);
}

BrickFinding BrickWalkStop(const std::uint8_t* ric, std::size_t size, const BrickCall& call) {
  BrickRun run(ric, size, call);
  run.checking = true;
  run.Run();
  return run.stop;
}

}  // namespace tavlin
