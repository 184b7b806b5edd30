// Hostile input for the RIC reader: hundreds of random and mutated files,
// seeded so every run sees the same ones. Whatever comes in, reading ends
// with a document or an error, stays inside its bytes (run it under the
// address sanitizer), keeps sprites on their canvas, spends memory in
// proportion to the input, and gives a document that writes and reads back
// to the same bytes.
#include <gtest/gtest.h>

#include "ByteFiles.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "DocumentIO.h"
#include "FileIO.h"
#include "RICElement.h"
#include "RicFile.h"

namespace tavlin {
namespace {

namespace fs = std::filesystem;
using tavlin::test::Bytes;

// std::mt19937 is the same sequence everywhere; the distributions are not,
// so draws are taken from it directly.
class Random {
 public:
  explicit Random(std::uint32_t seed) : engine_(seed) {}
  std::uint32_t Below(std::uint32_t n) { return n ? engine_() % n : 0; }
  std::uint8_t Byte() { return std::uint8_t(engine_()); }
  bool OneIn(std::uint32_t n) { return Below(n) == 0; }

 private:
  std::mt19937 engine_;
};

using tavlin::test::ReadBytes;
using tavlin::test::WriteBytes;

void PutWord(Bytes& b, unsigned w) {
  b.push_back(std::uint8_t(w));
  b.push_back(std::uint8_t(w >> 8));
}

// Valid files to mutate: the real ones and one of every kind.
std::vector<Bytes> Seeds() {
  std::vector<Bytes> seeds;
  for (const char* name : {"letters.ric", "numgrid.ric", "two-circles.ric"})
    seeds.push_back(ReadBytes(std::string(TAVLIN_TEST_DATA) + "/" + name));
  RICElementList list;
  list.Add(MakeDescription(0, 100, 64));
  ElementPtr s = MakeSprite(1);
  s->UsedArea = TRect{0, 0, 20, 2};
  s->Canvas.FillRect(0, 0, 20, 2, kWhite);
  s->Canvas.FillRect(3, 0, 9, 1, kBlack);
  list.Add(std::move(s));
  list.Add(MakeVarMap(1, 0));
  list.Add(MakeCopyBits(0, 1, 0, 0, 21, 3, 0xF000, 0xF101));
  list.Add(MakePixel(0, 1, 2));
  list.Add(MakeLine(0, 0, 0, 99, 63));
  list.Add(MakeRectangle(0, 1, 2, 3, 4));
  list.Add(MakeCircle(0, 50, 32, 10));
  list.Add(MakeNumBox(0, 0, 0, 0xF005));
  list.Add(MakeEllipse(0x20, 50, 32, 20, 10));
  list.Add(MakePolygon(0, {{1, 2}, {30, 4}, {15, 40}}));
  seeds.push_back(EncodeRic(list));
  return seeds;
}

// Absurd counts where a reader might trust them.
constexpr std::uint16_t kInterestingWords[] = {
    0,   1,    2,    3,      7,      8,      9,      127,    128,    129,    511, 512,
    513, 1023, 1024, 0x7FFF, 0x8000, 0xFFFE, 0xFFFF, 0xF000, 0xF1FF, 0x1000, 200, 600};

Bytes Mutate(Bytes b, const std::vector<Bytes>& seeds, Random& rnd) {
  int rounds = 1 + int(rnd.Below(6));
  for (int i = 0; i < rounds; ++i) {
    switch (rnd.Below(8)) {
      case 0:  // flip bits
        if (!b.empty()) b[rnd.Below(std::uint32_t(b.size()))] ^= std::uint8_t(1u << rnd.Below(8));
        break;
      case 1:  // overwrite a word with an interesting value
        if (b.size() >= 2) {
          std::size_t at = rnd.Below(std::uint32_t(b.size() - 1)) & ~std::size_t(rnd.OneIn(2));
          std::uint16_t w = kInterestingWords[rnd.Below(std::size(kInterestingWords))];
          b[at] = std::uint8_t(w);
          b[at + 1] = std::uint8_t(w >> 8);
        }
        break;
      case 2:  // cut short
        b.resize(rnd.Below(std::uint32_t(b.size() + 1)));
        break;
      case 3: {  // insert random bytes
        std::size_t at = rnd.Below(std::uint32_t(b.size() + 1));
        Bytes extra(1 + rnd.Below(16));
        for (auto& x : extra) x = rnd.Byte();
        b.insert(b.begin() + long(at), extra.begin(), extra.end());
        break;
      }
      case 4:  // delete a range
        if (!b.empty()) {
          std::size_t at = rnd.Below(std::uint32_t(b.size()));
          std::size_t n = std::min<std::size_t>(b.size() - at, 1 + rnd.Below(16));
          b.erase(b.begin() + long(at), b.begin() + long(at + n));
        }
        break;
      case 5: {  // splice in part of another seed
        const Bytes& other = seeds[rnd.Below(std::uint32_t(seeds.size()))];
        std::size_t from = rnd.Below(std::uint32_t(other.size()));
        std::size_t n = rnd.Below(std::uint32_t(other.size() - from + 1));
        std::size_t at = rnd.Below(std::uint32_t(b.size() + 1));
        b.insert(b.begin() + long(at), other.begin() + long(from), other.begin() + long(from + n));
        break;
      }
      case 6: {  // a hostile sprite or VarMap header with little behind it
        Bytes h;
        PutWord(h, rnd.Below(0x10000));
        bool sprite = rnd.OneIn(2);
        PutWord(h, sprite ? 1 : 2);
        PutWord(h, rnd.Below(16));
        PutWord(h, kInterestingWords[rnd.Below(std::size(kInterestingWords))]);
        if (sprite) PutWord(h, kInterestingWords[rnd.Below(std::size(kInterestingWords))]);
        for (std::uint32_t k = rnd.Below(64); k > 0; --k) h.push_back(rnd.Byte());
        std::size_t at = rnd.Below(std::uint32_t(b.size() + 1));
        b.insert(b.begin() + long(at), h.begin(), h.end());
        break;
      }
      default:  // duplicate the file onto itself
        if (b.size() < 8192) b.insert(b.end(), b.begin(), b.end());
        break;
    }
  }
  return b;
}

Bytes RandomBytes(Random& rnd, std::size_t n) {
  Bytes b(n);
  for (auto& x : b) x = rnd.Byte();
  return b;
}

Bytes SmallWords(Random& rnd, std::size_t n) {
  Bytes b;
  while (b.size() < n) {
    std::uint32_t pick = rnd.Below(8);
    unsigned w = pick < 4   ? rnd.Below(12)
                 : pick < 5 ? kInterestingWords[rnd.Below(std::size(kInterestingWords))]
                            : rnd.Below(0x10000);
    PutWord(b, w);
  }
  b.resize(n);
  return b;
}

// Checks what any read document must satisfy; `count` is the number of bytes read.
void ExpectSaneDocument(const RICElementList& list, std::size_t count, const std::string& what) {
  SCOPED_TRACE(what);
  // Every element consumes at least a size and an opcode word.
  ASSERT_LE(std::size_t(list.Count()) * 4, count);
  long tiles = 0;
  for (const auto& ep : list) {
    const TRICElement& e = *ep;
    ASSERT_LT(int(e.Kind), kElementKindCount);
    ASSERT_EQ(e.DataSize, 0);
    if (e.Kind == RICElementKind::Sprite) {
      const TRect& a = e.UsedArea;
      ASSERT_EQ(a.Left, 0);
      ASSERT_EQ(a.Top, 0);
      ASSERT_GE(a.Right, -1);
      ASSERT_LE(a.Right, SpriteCanvas::kWidth - 1);
      ASSERT_EQ((a.Right + 1) % 8, 0);
      ASSERT_GE(a.Bottom, -1);
      ASSERT_LE(a.Bottom, SpriteCanvas::kHeight - 1);
      ASSERT_EQ(e.MarkedArea, kUnsetRect);
      ASSERT_EQ(e.ZoomFactor, 6);
      // Nothing painted outside the used area.
      if (a.Right < SpriteCanvas::kWidth - 1) {
        ASSERT_EQ(e.Canvas.Pixel(a.Right + 1, 0), kGrey);
      }
      if (a.Bottom < SpriteCanvas::kHeight - 1) {
        ASSERT_EQ(e.Canvas.Pixel(0, a.Bottom + 1), kGrey);
      }
      tiles += e.Canvas.AllocatedTiles();
    }
    if (e.Kind == RICElementKind::VarMap) {
      ASSERT_GE(e.Points.size(), 1u);
      ASSERT_LE(e.Points.size() * 4, std::max<std::size_t>(count, 8));
    }
  }
  // A painted tile takes at least four bytes of pixel data in the file.
  ASSERT_LE(tiles, long(count / 4 + 1));
}

// Written once, the document reads back and writes again to the same bytes;
// or it is too large to write, and says so.
void ExpectStableAfterOneRound(const RICElementList& list, const std::string& what) {
  SCOPED_TRACE(what);
  Bytes once;
  try {
    once = EncodeRic(list);
  } catch (const TavlinError& e) {
    EXPECT_NE(e.Reason().find(std::to_string(kRicBufferSize)), std::string::npos) << e.Reason();
    return;
  }
  ASSERT_LE(once.size(), kRicBufferSize);
  RICElementList again = DecodeRic(once.data(), once.size());
  ASSERT_EQ(again.Count(), list.Count());
  for (int i = 0; i < list.Count(); ++i) ASSERT_EQ(again[i]->Kind, list[i]->Kind) << i;
  Bytes twice = EncodeRic(again);
  ASSERT_TRUE(twice == once);
}

// Decodes from a heap block of exactly the input's size.
RICElementList DecodeExact(const Bytes& b) {
  std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[std::max<std::size_t>(b.size(), 1)]);
  std::copy(b.begin(), b.end(), exact.get());
  return DecodeRic(b.empty() ? nullptr : exact.get(), b.size());
}

// How many elements of each kind the inputs gave, to show the inputs reach every branch.
struct KindCounts {
  int counts[kElementKindCount] = {};
  void Add(const RICElementList& list) {
    for (const auto& e : list) ++counts[int(e->Kind)];
  }
  void ExpectEveryKind(int atLeast) const {
    for (int k = 0; k < kElementKindCount; ++k)
      EXPECT_GE(counts[k], atLeast) << KindName(RICElementKind(k));
  }
};

void CheckInput(const Bytes& input, const std::string& what, KindCounts* counts = nullptr) {
  RICElementList list = DecodeExact(input);
  ExpectSaneDocument(list, input.size(), what);
  ExpectStableAfterOneRound(list, what);
  if (counts) counts->Add(list);
}

TEST(RicFuzzTest, MutatedFilesReadSanelyAndSettleAfterOneRound) {
  std::vector<Bytes> seeds = Seeds();
  Random rnd(20240607);
  KindCounts counts;
  for (int i = 0; i < 2000; ++i) {
    const Bytes& seed = seeds[std::size_t(i) % seeds.size()];
    CheckInput(Mutate(seed, seeds, rnd), "mutant " + std::to_string(i), &counts);
    if (HasFatalFailure()) return;
  }
  counts.ExpectEveryKind(50);
}

TEST(RicFuzzTest, RandomBytesReadSanelyAndSettleAfterOneRound) {
  Random rnd(7);
  KindCounts counts;
  for (int i = 0; i < 500; ++i) {
    std::size_t n = i < 4 ? std::size_t(i) : rnd.Below(i % 10 == 0 ? 20000 : 600);
    // Half of them are words that are mostly small, so that opcodes and
    // counts that a reader acts on come up often.
    CheckInput(i % 2 ? RandomBytes(rnd, n) : SmallWords(rnd, n), "random " + std::to_string(i),
               &counts);
    if (HasFatalFailure()) return;
  }
  counts.ExpectEveryKind(20);
}

// Files built to hurt: all sprites, all VarMaps, all absurd headers.
TEST(RicFuzzTest, FilesOfHostileHeadersReadSanely) {
  Random rnd(99);
  KindCounts counts;
  for (int i = 0; i < 150; ++i) {
    Bytes b;
    while (b.size() < 4096) {
      PutWord(b, 1 + rnd.Below(0xFFFF));
      unsigned op = rnd.Below(3);
      PutWord(b, op == 2 ? 2 : 1);
      PutWord(b, rnd.Below(20));
      unsigned rows = kInterestingWords[rnd.Below(std::size(kInterestingWords))];
      unsigned bytesPerRow =
          op == 2 ? 4 : kInterestingWords[rnd.Below(std::size(kInterestingWords))];
      PutWord(b, rows);
      if (op != 2) PutWord(b, bytesPerRow);
      // Mostly exactly the bytes announced, when they are few; otherwise some bytes.
      std::size_t announced = std::size_t(rows) * bytesPerRow;
      std::size_t n =
          announced <= 1200 && !rnd.OneIn(8) ? announced + (announced % 2) : rnd.Below(300);
      for (std::size_t k = 0; k < n; ++k) b.push_back(rnd.Byte());
    }
    CheckInput(b, "hostile " + std::to_string(i), &counts);
    if (HasFatalFailure()) return;
  }
  EXPECT_GE(counts.counts[int(RICElementKind::Sprite)], 40);
  EXPECT_GE(counts.counts[int(RICElementKind::VarMap)], 40);
}

// The largest file of single-byte sprites: the memory it costs is bounded by its size.
TEST(RicFuzzTest, AFullBufferOfTinySpritesStaysSmall) {
  Bytes b;
  while (b.size() + 12 <= kRicBufferSize) {
    for (unsigned w : {10u, 1u, 1u, 1u, 1u}) PutWord(b, w);
    b.push_back(0x80);
    b.push_back(0);
  }
  RICElementList list = DecodeExact(b);
  EXPECT_EQ(list.Count(), int(kRicBufferSize / 12));
  std::size_t memory = 0;
  for (const auto& e : list) memory += e->Canvas.MemoryBytes();
  EXPECT_LT(memory, std::size_t(200) << 20);
  ExpectSaneDocument(list, b.size(), "tiny sprites");
}

class RicFuzzFileTest : public ::testing::Test {
 protected:
  RicFuzzFileTest() {
    std::string pattern = (fs::temp_directory_path() / "tavlin-fuzz-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
  }
  ~RicFuzzFileTest() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

// Through the file layer: a document that equals what the bytes decode to
// (at most the first 262,144 of them), or a TavlinError, nothing else.
TEST_F(RicFuzzFileTest, LoadDocumentReadsAnyFileOrFailsCleanly) {
  std::vector<Bytes> seeds = Seeds();
  Random rnd(31337);
  std::vector<Bytes> inputs;
  for (int i = 0; i < 120; ++i)
    inputs.push_back(Mutate(seeds[std::size_t(i) % seeds.size()], seeds, rnd));
  for (int i = 0; i < 20; ++i) inputs.push_back(RandomBytes(rnd, rnd.Below(5000)));
  inputs.push_back(RandomBytes(rnd, kRicBufferSize + 1000));
  inputs.push_back(RandomBytes(rnd, kRicBufferSize));
  std::string text = "This is not a picture.\r\nJust text: 0123456789 {} [] \"quoted\"\r\n";
  Bytes textBytes(text.begin(), text.end());
  for (int i = 0; i < 6; ++i) textBytes.insert(textBytes.end(), textBytes.begin(), textBytes.end());
  inputs.push_back(textBytes);

  for (std::size_t i = 0; i < inputs.size(); ++i) {
    std::string path = Path("input" + std::to_string(i) + (i % 2 ? ".RIC" : ".ric"));
    WriteBytes(path, inputs[i]);
    std::size_t used = std::min(inputs[i].size(), kRicBufferSize);
    Bytes head(inputs[i].begin(), inputs[i].begin() + long(used));
    RICElementList loaded;
    try {
      loaded = LoadDocument(path);
    } catch (const TavlinError& e) {
      ADD_FAILURE() << "input " << i << ": " << e.what();
      continue;
    }
    ExpectSaneDocument(loaded, used, "file " + std::to_string(i));
    RICElementList direct = DecodeExact(head);
    ASSERT_EQ(loaded.Count(), direct.Count()) << i;
    try {
      EXPECT_TRUE(EncodeRic(loaded) == EncodeRic(direct)) << i;
    } catch (const TavlinError&) {
      EXPECT_THROW(EncodeRic(direct), TavlinError);
    }
  }
}

TEST_F(RicFuzzFileTest, FilesThatAreNoRicFilesGiveAnErrorNamingThem) {
  fs::create_directory(dir_ / "folder.ric");
  for (const std::string& path :
       {Path("missing.ric"), Path("folder.ric"), Path("picture.png"), Path("notes.txt")}) {
    if (path.find(".png") != std::string::npos || path.find(".txt") != std::string::npos)
      WriteBytes(path, Bytes{0x0A, 0, 4, 0, 0, 0, 0, 0, 0, 0});
    try {
      LoadDocument(path);
      ADD_FAILURE() << "no error for " << path;
    } catch (const TavlinError& e) {
      EXPECT_EQ(e.File(), path);
      EXPECT_FALSE(e.Reason().empty());
    }
  }
}

}  // namespace
}  // namespace tavlin
