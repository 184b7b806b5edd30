#include "RicFile.h"

#include <sys/stat.h>

#include <algorithm>

#include "ElementKinds.h"
#include "FileIO.h"
#include "QuotedText.h"

namespace tavlin {

namespace {

// Reads little-endian words and bytes, never beyond the data it was given.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t count) : data_(data), count_(count) {}
  bool AtEnd() const { return pos_ >= count_; }
  std::size_t Pos() const { return pos_; }
  std::size_t Remaining() const { return pos_ < count_ ? count_ - pos_ : 0; }
  bool Word(std::uint16_t& out) {
    if (Remaining() < 2) return false;
    out = std::uint16_t(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return true;
  }
  template <std::size_t N>
  bool Words(std::uint16_t (&out)[N]) {
    if (Remaining() < 2 * N) return false;
    for (auto& w : out) Word(w);
    return true;
  }
  const std::uint8_t* Bytes(std::size_t n) {
    if (Remaining() < n) return nullptr;
    const std::uint8_t* p = data_ + pos_;
    pos_ += n;
    return p;
  }
  void Skip(std::size_t n) { pos_ += n; }

 private:
  const std::uint8_t* data_;
  std::size_t count_;
  std::size_t pos_ = 0;
};

// Paints the pixel bytes of a sprite into the top-left corner of its canvas.
ElementPtr DecodeSprite(std::uint16_t id, std::uint16_t rows, std::uint16_t bytesPerRow,
                        const std::uint8_t* pixels) {
  ElementPtr e = MakeSprite(id);
  // The used area spans whole bytes; the canvas ends at 1024 x 512, so does the area.
  e->UsedArea = TRect{0, 0, std::min(8 * int(bytesPerRow) - 1, SpriteCanvas::kWidth - 1),
                      std::min(int(rows) - 1, SpriteCanvas::kHeight - 1)};
  e->MarkedArea = kUnsetRect;
  int paintedBytes = std::min<int>(bytesPerRow, SpriteCanvas::kWidth / 8);
  int paintedRows = std::min<int>(rows, SpriteCanvas::kHeight);
  std::uint8_t row[SpriteCanvas::kWidth];
  for (int r = 0; r < paintedRows; ++r) {
    const std::uint8_t* src = pixels + std::size_t(r) * bytesPerRow;
    for (int k = 0; k < paintedBytes; ++k)
      for (int bit = 0; bit < 8; ++bit)
        row[8 * k + bit] = (src[k] & (0x80 >> bit)) ? kBlackIndex : kWhiteIndex;
    e->Canvas.WriteRowIndexes(0, r, 8 * paintedBytes, row);
  }
  return e;
}

// The n-th word of an element's bytes; a word the bytes end inside keeps its low byte.
std::uint16_t WordOf(const std::uint8_t* bytes, std::size_t count, std::size_t n) {
  const std::size_t at = 2 * n;
  if (at >= count) return 0;
  return std::uint16_t(bytes[at] | (at + 1 < count ? bytes[at + 1] << 8 : 0));
}

// An Ellipse or a Polygon from the `count` bytes its size word covers after
// the opcode. What the size word covers beyond its words (a Polygon's bytes
// after its last whole point) is kept as it is; a size word too short for
// them is kept too, and the missing words read as 0.
ElementPtr DecodeShape(RICElementKind kind, std::uint16_t size, const std::uint8_t* bytes,
                       std::size_t count) {
  auto word = [&](std::size_t n) { return WordOf(bytes, count, n); };
  ElementPtr e;
  std::size_t used;  // bytes taken by the element's words
  if (kind == RICElementKind::Ellipse) {
    e = MakeEllipse(word(0), word(1), word(2), word(3), word(4));
    used = 10;
  } else {
    const std::size_t points = count >= 4 ? (count - 4) / 4 : 0;
    std::vector<PolygonPoint> read(points);
    for (std::size_t i = 0; i < points; ++i) read[i] = {word(2 + 2 * i), word(3 + 2 * i)};
    e = MakePolygon(word(0), std::move(read));
    if (word(1) != points) e->PolygonCount = word(1);
    used = 4 + 4 * points;
  }
  if (count > used) e->ExtraBytes.assign(bytes + used, bytes + count);
  if (count < used) e->CutSize = size;
  return e;
}

// Collects what the decoder passes over. Skipped words that follow each other
// make one note; beyond kMaxReadNotes notes the rest are only counted.
class PassedOver {
 public:
  explicit PassedOver(std::vector<std::string>* out) : out_(out) {}

  // A zero size word (2 bytes) or an unknown opcode with its size word (4 bytes).
  void Skipped(std::size_t at, std::size_t bytes, bool isOpcode, unsigned opcode) {
    if (runBytes_ > 0 && at != runStart_ + runBytes_) EndRun();
    if (runBytes_ == 0) runStart_ = at;
    runBytes_ += bytes;
    if (isOpcode) {
      ++opcodes_;
      lastOpcode_ = opcode;
    } else {
      ++zeroWords_;
    }
  }
  void Note(std::size_t at, std::size_t bytes, const std::string& what) {
    EndRun();
    Add(Span(at, bytes) + ": " + what);
  }
  void Finish() {
    EndRun();
    if (uncounted_ > 0) out_->push_back("and " + std::to_string(uncounted_) + " more places");
  }

  static std::string Count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  }

 private:
  static std::string Span(std::size_t at, std::size_t bytes) {
    if (bytes == 1) return "byte " + std::to_string(at);
    return "bytes " + std::to_string(at) + " to " + std::to_string(at + bytes - 1);
  }
  void EndRun() {
    if (runBytes_ == 0) return;
    std::string what;
    if (opcodes_ == 1) what = "unknown opcode " + std::to_string(lastOpcode_);
    if (opcodes_ > 1) what = Count(opcodes_, "", "unknown opcodes");
    if (zeroWords_ > 0) {
      if (!what.empty()) what += " and ";
      what += zeroWords_ == 1 ? "a zero size word" : Count(zeroWords_, "", "zero size words");
    }
    Add(Span(runStart_, runBytes_) + ": " + what + " skipped");
    runBytes_ = opcodes_ = zeroWords_ = 0;
  }
  void Add(std::string text) {
    if (added_ == kMaxReadNotes) {
      ++uncounted_;
      return;
    }
    out_->push_back(std::move(text));
    ++added_;
  }

  std::vector<std::string>* out_;
  std::size_t runStart_ = 0, runBytes_ = 0, opcodes_ = 0, zeroWords_ = 0;
  unsigned lastOpcode_ = 0;
  std::size_t added_ = 0, uncounted_ = 0;
};

// The largest even size word.
constexpr long kMaxElementSize = 65534;

void PutWord(std::vector<std::uint8_t>& out, unsigned w) {
  out.push_back(std::uint8_t(w & 0xFF));
  out.push_back(std::uint8_t((w >> 8) & 0xFF));
}

void EncodeSprite(std::vector<std::uint8_t>& out, const TRICElement& e) {
  // Only Left says whether the area is set; an unset area is (-1, -1)-(-1, -1): one clear pixel.
  const TRect& a = e.UsedArea.IsSet() ? e.UsedArea : kUnsetRect;
  int width = std::max(a.Right - a.Left + 1, 0);
  int rows = std::max(a.Bottom - a.Top + 1, 0);
  int bytesPerRow = width / 8 + (width > 8 * (width / 8) ? 1 : 0);
  long n = long(rows) * bytesPerRow;
  // With no pixel bytes, the element still carries a zero word, and its size counts it.
  long size = n == 0 ? 10 : 8 + n + ((8 + n) % 2);
  // The size word is 16 bits, and the brick steps through a file by it: a
  // larger sprite would make every later element unreadable.
  if (size > kMaxElementSize)
    throw TavlinError("", "a sprite of " + std::to_string(width) + " x " + std::to_string(rows) +
                              " pixels needs " + std::to_string(n) +
                              " bytes, more than one RIC element can hold (" +
                              std::to_string(kMaxSpriteDataBytes) + ")");
  const std::size_t begin = out.size();  // odd after an element of odd size
  PutWord(out, unsigned(size));
  PutWord(out, 1);
  PutWord(out, e.ID);
  PutWord(out, unsigned(rows));
  PutWord(out, unsigned(bytesPerRow));
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width));
  for (int y = a.Top; y <= a.Bottom && rows > 0; ++y) {
    e.Canvas.ReadRowIndexes(a.Left, y, width, row.data());
    std::uint8_t byte = 0, mask = 128;
    for (int i = 0; i < width; ++i) {
      if (row[std::size_t(i)] == kBlackIndex && SpriteCanvas::Contains(a.Left + i, y)) byte |= mask;
      mask >>= 1;
      if (mask == 0) {
        out.push_back(byte);
        byte = 0;
        mask = 128;
      }
    }
    if (mask != 128) out.push_back(byte);
  }
  if (n == 0) PutWord(out, 0);
  if ((out.size() - begin) % 2) out.push_back(0);
}

}  // namespace

RICElementList DecodeRic(const std::uint8_t* data, std::size_t count,
                         std::vector<std::string>* notes, std::size_t* passedOver) {
  RICElementList list;
  Reader in(data, count);
  std::vector<std::string> unused;
  PassedOver passed(notes ? notes : &unused);
  std::size_t skippedBytes = 0;
  const bool noting = notes || passedOver;
  // Where the last element ends by its own size word: zero words before that
  // belong to it (a Pixel's value word, an empty VarMap's points).
  std::size_t elementEnd = 0;
  auto leftOver = [&](std::size_t start) {
    if (!noting || start < elementEnd) return;
    skippedBytes += count - start;
    std::string bytes = PassedOver::Count(count - start, "byte", "bytes");
    passed.Note(start, count - start,
                list.Empty() ? bytes + ", too few for an element, not read"
                             : bytes + " after the last element not read");
  };
  while (!in.AtEnd()) {
    const std::size_t start = in.Pos();
    std::uint16_t size, opcode;
    if (!in.Word(size)) {
      leftOver(start);
      break;
    }
    if (size == 0) {  // zero size words are skipped
      if (noting && start >= elementEnd) {
        passed.Skipped(start, 2, false, 0);
        skippedBytes += 2;
      }
      continue;
    }
    if (!in.Word(opcode)) {
      leftOver(start);
      break;
    }
    if (opcode <= 10) elementEnd = start + 2 + size;
    // Each element consumes exactly its listed words; the size word never steps
    // over anything. A cut-off element is dropped and reading ends.
    bool whole = true;
    switch (opcode) {
      case 1: {
        std::uint16_t w[3]{};
        if (!(whole = in.Words(w))) break;
        std::size_t n = std::size_t(w[1]) * w[2];
        const std::uint8_t* pixels = in.Bytes(n);
        if (!(whole = pixels != nullptr)) break;
        list.Add(DecodeSprite(w[0], w[1], w[2], pixels));
        if (n % 2) in.Skip(1);  // the pad byte
        break;
      }
      case 2: {
        std::uint16_t w[2]{};
        if (!(whole = in.Words(w))) break;
        std::uint16_t id = w[0], n = w[1];
        if (!(whole = in.Remaining() >= 4 * std::size_t(n))) break;
        ElementPtr e = MakeVarMap(id, n);
        // With no points announced nothing more is read: the two default points stay.
        for (std::size_t i = 0; i < n; ++i) {
          in.Word(e->Points[i].Domain);
          in.Word(e->Points[i].Range);
        }
        list.Add(std::move(e));
        break;
      }
      case 9:
      case 10:
        // The enhanced firmware's shapes are read by their size words.
        if (size >= 2) {
          const std::uint8_t* bytes = in.Bytes(size - 2u);
          if (!(whole = bytes != nullptr)) break;
          list.Add(DecodeShape(RICElementKind(opcode), size, bytes, size - 2u));
          break;
        }
        [[fallthrough]];  // a size word shorter than the opcode is no element
      default: {
        if (!IsElementKind(opcode) || KindRow(RICElementKind(opcode)).VariableSize) {
          // Unknown opcodes: reading goes on right after the opcode word.
          if (noting) {
            passed.Skipped(start, 4, true, opcode);
            skippedBytes += 4;
          }
          break;
        }
        // The kinds that hold their fields only. A Pixel's fourth word is not
        // read: as a zero size word it is passed over.
        const auto fields = ArgumentFields(RICElementKind(opcode));
        if (!(whole = in.Remaining() >= 2 * fields.size())) break;
        auto e = std::make_unique<TRICElement>();
        e->Kind = RICElementKind(opcode);
        for (const ArgumentField& field : fields) in.Word((*e).*field.Member);
        list.Add(std::move(e));
        break;
      }
    }
    if (!whole) {
      skippedBytes += count - start;
      if (noting)
        passed.Note(start, count - start,
                    "the file ends inside element " + std::to_string(list.Count() + 1) +
                        (opcode == 9 ? ", an " : ", a ") + KindName(RICElementKind(opcode)) +
                        ", which was left out");
      break;
    }
  }
  if (noting) passed.Finish();
  if (passedOver) *passedOver = skippedBytes;
  return list;
}

std::vector<std::uint8_t> EncodeRic(const RICElementList& list) {
  std::vector<std::uint8_t> out;
  // Most elements take at most 24 bytes; counting them exactly would cost a
  // walk over every element of its own.
  out.reserve(24 * std::size_t(list.Count()));
  for (int index = 0; index < list.Count(); ++index) {
    const TRICElement& e = *list[index];
    switch (e.Kind) {
      case RICElementKind::Sprite:
        try {
          EncodeSprite(out, e);
        } catch (const TavlinError& error) {
          // Name the element, so the user knows which sprite to make smaller.
          throw TavlinError("", "element " + std::to_string(index + 1) + ": " + error.Reason());
        }
        break;
      case RICElementKind::VarMap: {
        auto count = unsigned(e.Points.size());
        if (6 + 4 * std::size_t(count) > kMaxElementSize)
          throw TavlinError("", "element " + std::to_string(index + 1) + ": a VarMap of " +
                                    std::to_string(count) +
                                    " points is more than one RIC element can hold");
        PutWord(out, count == 0 ? 14 : 6 + 4 * count);
        PutWord(out, 2);
        PutWord(out, e.ID);
        PutWord(out, count);
        for (const auto& p : e.Points) {
          PutWord(out, p.Domain);
          PutWord(out, p.Range);
        }
        if (count == 0)
          for (int i = 0; i < 4; ++i) PutWord(out, 0);
        break;
      }
      case RICElementKind::Ellipse:
      case RICElementKind::Polygon: {
        const std::vector<std::uint16_t> words = ShapeRecordWords(e);
        const std::size_t full = 2 * words.size() + e.ExtraBytes.size();
        if (full > 0xFFFF)
          throw TavlinError("", "element " + std::to_string(index + 1) + ": a Polygon of " +
                                    std::to_string(e.PolygonPoints.size()) +
                                    " points is more than one RIC element can hold");
        const std::uint16_t size = ShapeSizeWord(e);
        PutWord(out, size);
        // A short size word holds the first bytes of the words.
        for (std::size_t byte = 0; byte < std::min<std::size_t>(size, 2 * words.size()); ++byte)
          out.push_back(std::uint8_t(words[byte / 2] >> (8 * (byte % 2))));
        if (size == full) out.insert(out.end(), e.ExtraBytes.begin(), e.ExtraBytes.end());
        break;
      }
      default: {
        // The fields, and the zero words some records end with (a Pixel's,
        // which the brick ignores). The record is put together aside and
        // appended at once, which keeps writing fast.
        const ElementKindRow& row = KindRow(e.Kind);
        std::uint16_t words[12];
        std::size_t n = 0;
        words[n++] = std::uint16_t(ElementFileSize(e) - 2);
        words[n++] = std::uint16_t(e.Kind);
        for (const ArgumentField& field : row.Fields) words[n++] = e.*field.Member;
        for (int zero = 0; zero < row.ZeroWords; ++zero) words[n++] = 0;
        std::uint8_t bytes[2 * std::size(words)];
        for (std::size_t i = 0; i < n; ++i) {
          bytes[2 * i] = std::uint8_t(words[i] & 0xFF);
          bytes[2 * i + 1] = std::uint8_t(words[i] >> 8);
        }
        out.insert(out.end(), bytes, bytes + 2 * n);
        break;
      }
    }
  }
  if (out.size() > kRicBufferSize)
    throw TavlinError("", "the picture needs " + std::to_string(out.size()) +
                              " bytes, more than the " + std::to_string(kRicBufferSize) +
                              " bytes a RIC file may hold");
  return out;
}

RICElementList LoadRicFile(const std::string& path, std::vector<std::string>* notes,
                           std::size_t* passedOver) {
  bool longer = false;
  const bool noting = notes || passedOver;
  std::vector<std::uint8_t> bytes = ReadFileBytes(path, kRicBufferSize, noting ? &longer : nullptr);
  if (!noting) return DecodeRic(bytes.data(), bytes.size());
  std::vector<std::string> found;
  RICElementList list = DecodeRic(bytes.data(), bytes.size(), &found, passedOver);
  if (longer) {
    found.push_back("the file is longer than " + std::to_string(kRicBufferSize) +
                    " bytes; the rest was not read");
    // The size now, which may differ from what was read; at least one byte was left.
    struct stat st {};
    std::size_t beyond = 1;
    if (::stat(path.c_str(), &st) == 0 && std::size_t(st.st_size) > kRicBufferSize)
      beyond = std::size_t(st.st_size) - kRicBufferSize;
    if (passedOver) *passedOver += beyond;
  }
  if (!notes) return list;
  for (const std::string& note : found) notes->push_back(MessagePath(path) + ": " + note);
  return list;
}

void SaveRicFile(const std::string& path, const RICElementList& list) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = EncodeRic(list);
  } catch (const TavlinError& e) {
    throw TavlinError(path, e.Reason());
  }
  WriteFileAtomic(path, bytes.data(), bytes.size());
}

bool ReadRicFile(RICElementList& document, const std::string& path, bool clearFirst,
                 std::vector<std::string>* notes) {
  // The file is read completely into new elements before the document changes.
  RICElementList read = LoadRicFile(path, notes);
  if (clearFirst) {
    document = std::move(read);
  } else {
    document.Append(std::move(read));
  }
  return true;
}

bool WriteRicFile(const RICElementList& document, const std::string& path) {
  SaveRicFile(path, document);
  return true;
}

}  // namespace tavlin
