#include "RicScript.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <system_error>

#include "ElementKinds.h"
#include "PictureFile.h"
#include "QuotedText.h"
#include "RicFile.h"

namespace tavlin {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------
// Errors

RicScriptError::RicScriptError(const std::string& path, int line, int column,
                               const std::string& reason)
    : TavlinError(MessagePath(path) + ":" + std::to_string(line) + ":" + std::to_string(column),
                  reason),
      path_(path),
      line_(line),
      column_(column) {}

std::string RicScriptError::Message() const {
  return "line " + std::to_string(line_) + ", column " + std::to_string(column_) + ": " + Reason();
}

// ---------------------------------------------------------------------------
// Text filter

namespace {

bool IsSeparator(char c) { return c == '(' || c == ')' || c == ',' || c == '[' || c == ']'; }

bool IsAccepted(char c) {
  return c == '"' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || IsSeparator(c);
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The filter itself: calls keep(c, place) for each character it keeps, in
// order, until keep returns false. The filtered text and the places of its
// characters both come from here, so they always agree, and neither needs a
// copy of a line.
template <typename Keep>
void WalkScriptFilter(std::string_view raw, Keep keep) {
  bool quoted = false;
  int lineNumber = 0;
  std::size_t start = 0;
  while (start <= raw.size()) {
    // One line without its end: LF, CR LF or a lone CR.
    std::size_t stop = start;
    while (stop < raw.size() && raw[stop] != '\n' && raw[stop] != '\r') ++stop;
    ++lineNumber;
    std::size_t first = start;
    std::size_t last = stop;
    while (first < last && IsBlankOrControl(raw[first])) ++first;
    while (last > first && IsBlankOrControl(raw[last - 1])) --last;
    // The comment is cut before quotes are looked at: "//" in a quoted name starts one too.
    std::size_t comment = raw.substr(first, last - first).find("//");
    if (comment != std::string_view::npos) last = first + comment;
    for (std::size_t i = first; i < last; ++i) {
      char c = Upper(raw[i]);
      bool kept;
      if (c == '"') {
        kept = true;
        quoted = !quoted;
      } else {
        kept = quoted || IsAccepted(c);
      }
      if (kept && !keep(c, ScriptPosition{lineNumber, int(i - start) + 1})) return;
    }
    if (stop < raw.size() && raw[stop] == '\r' && stop + 1 < raw.size() && raw[stop + 1] == '\n')
      start = stop + 2;
    else
      start = stop + 1;
  }
}

}  // namespace

ScriptText FilterScriptText(std::string_view raw) {
  // Counted first, so that the text takes exactly the memory it needs: a
  // growing string would take up to twice that.
  std::size_t kept = 0;
  WalkScriptFilter(raw, [&](char, ScriptPosition) { return ++kept, true; });
  ScriptText out;
  out.Text.reserve(kept);
  WalkScriptFilter(raw, [&](char c, ScriptPosition) { return out.Text.push_back(c), true; });
  return out;
}

ScriptPosition ScriptPositionOf(std::string_view raw, std::size_t index) {
  ScriptPosition end{1, 1};
  std::size_t count = 0;
  std::optional<ScriptPosition> found;
  WalkScriptFilter(raw, [&](char, ScriptPosition place) {
    if (count++ == index) {
      found = place;
      return false;
    }
    end = {place.Line, place.Column + 1};
    return true;
  });
  return found.value_or(end);
}

// ---------------------------------------------------------------------------
// Reader

namespace {

constexpr std::size_t kNoLimit = ~std::size_t(0);
constexpr std::size_t kMaxShapeSizeWord = 0xFFFF;
constexpr std::size_t kLongestPictureName = 4096;

std::string UpperCase(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return text;
}

// The names of a folder by their upper-case form, each the alphabetically
// first of the names that fold to it. `keepGoing` is asked now and then
// while a large folder is read; false stops the reading (RicScriptCancelled).
using FolderIndex = std::map<std::string, std::string>;
FolderIndex ReadFolderIndex(const fs::path& folder, const std::function<void()>& keepGoing) {
  FolderIndex index;
  std::error_code ec;
  std::size_t seen = 0;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (++seen % 1024 == 0 && keepGoing) keepGoing();
    std::string entry = it->path().filename().string();
    auto [at, added] = index.emplace(UpperCase(entry), entry);
    if (!added && entry < at->second) at->second = std::move(entry);
  }
  return index;
}

// Finds the file an IMPORT item names. The script text is upper-cased, so
// where the exact name does not exist each component is matched regardless of
// case (the alphabetically first match wins). Backslashes count as folder
// separators as well, for scripts written on Windows. The name is made
// plain first ("A/../B" is "B"), so that its length costs no more than its
// components do, and each folder is read at most once per script: `folders`
// keeps what was read.
std::optional<fs::path> ResolvePictureName(const std::string& name, const std::string& scriptPath,
                                           std::map<fs::path, FolderIndex>& folders,
                                           const std::function<void()>& keepGoing) {
  if (name.empty()) return std::nullopt;
  std::error_code ec;
  fs::path folder = fs::path(scriptPath).parent_path();
  if (folder.empty()) folder = ".";
  fs::path direct(name);
  fs::path candidate = (direct.is_absolute() ? direct : folder / direct).lexically_normal();
  if (fs::is_regular_file(candidate, ec)) return candidate;

  std::string generic = name;
  std::replace(generic.begin(), generic.end(), '\\', '/');
  fs::path wanted(generic);
  if (!wanted.is_absolute()) wanted = folder / wanted;
  wanted = wanted.lexically_normal();
  fs::path current = wanted.is_absolute() ? wanted.root_path() : fs::path(".");
  for (const fs::path& part : wanted.relative_path()) {
    const std::string component = part.string();
    if (component.empty() || component == ".") continue;
    fs::path exact = current / part;
    if (component == ".." || fs::exists(exact, ec)) {
      current = std::move(exact);
      continue;
    }
    auto known = folders.find(current);
    if (known == folders.end())
      known = folders.emplace(current, ReadFolderIndex(current, keepGoing)).first;
    const auto match = known->second.find(UpperCase(component));
    if (match == known->second.end()) return std::nullopt;
    current /= match->second;
  }
  if (fs::is_regular_file(current, ec)) return current;
  return std::nullopt;
}

// What reading the filtered text gave: the elements, or an error at an index
// of the text; and where a word that is no statement stopped the reading.
struct ScriptOutcome {
  RICElementList List;
  std::size_t ErrorAt = kNoLimit;
  std::string Reason;
  std::size_t StoppedAt = kNoLimit;
  // What was read but cut to the canvas: where, and a note on it.
  std::vector<std::pair<std::size_t, std::string>> Cuts;
};

class ScriptReader {
 public:
  ScriptReader(std::string_view text, const std::string& path, const ScriptProgress& progress)
      : text_(text), path_(path), progress_(progress) {}

  // Reads every statement. Errors and the stop are left as indexes into the
  // filtered text; the caller turns them into places.
  ScriptOutcome Read() {
    while (!error_ && pos_ < text_.size()) {
      ReportProgress(false);
      std::size_t keywordAt = pos_;
      std::string_view keyword = NextToken();
      if (!ReadStatement(keyword, keywordAt)) {  // no keyword: the reading ends here
        stoppedAt_ = keywordAt;
        break;
      }
      if (!error_ && documentBytes_ > kRicBufferSize)
        Fail(keywordAt, "the script describes more than a RIC file can hold (" +
                            std::to_string(kRicBufferSize) + " bytes)");
    }
    ScriptOutcome outcome;
    if (error_) {
      outcome.ErrorAt = errorAt_;
      outcome.Reason = std::move(errorReason_);
    } else {
      outcome.List = std::move(list_);
      outcome.StoppedAt = stoppedAt_;
      outcome.Cuts = std::move(cuts_);
    }
    return outcome;
  }

 private:
  // Tells the caller how far the reading is, now and then and after each
  // picture; a caller that says stop ends the reading.
  void ReportProgress(bool now) {
    if (!progress_) return;
    const std::size_t step = std::max<std::size_t>(4096, text_.size() / 256);
    if (!now && pos_ < reportedAt_ + step) return;
    reportedAt_ = pos_;
    if (!progress_(pos_, text_.size())) throw RicScriptCancelled();
  }

  // A note on what was cut, at most kMaxReadNotes of them.
  void NoteCut(std::size_t at, std::string note) {
    if (cuts_.size() < kMaxReadNotes) cuts_.emplace_back(at, std::move(note));
  }

  // Only the first error counts; the reading stops after its statement.
  void Fail(std::size_t at, const std::string& reason) {
    if (error_) return;
    error_ = true;
    errorAt_ = at;
    errorReason_ = reason;
  }

  // One token: the characters up to the next separator. The separator that
  // ends it decides the end-of-list flag; it and the separators right after it
  // are skipped.
  std::string_view NextToken() {
    if (error_) return {};
    if (pos_ >= text_.size()) {
      Fail(text_.size(), "the script ends in the middle of a statement");
      tokenStart_ = tokenEnd_ = text_.size();
      endOfList_ = false;
      return {};
    }
    std::size_t start = pos_;
    while (pos_ < text_.size() && !IsSeparator(text_[pos_])) ++pos_;
    tokenStart_ = start;
    tokenEnd_ = pos_;
    endOfList_ = pos_ < text_.size() && text_[pos_] == ')';
    while (pos_ < text_.size() && IsSeparator(text_[pos_])) ++pos_;
    return std::string_view(text_).substr(start, tokenEnd_ - start);
  }

  // One argument word: a number, ARG(v) or MAPARG(m, p). valueStart_ is where
  // it began and valueEnd_ the index of the separator that ends it.
  std::uint16_t ReadValue(int depth = 0) {
    if (error_) return 0;
    std::string_view token = NextToken();
    if (error_) return 0;
    std::size_t start = tokenStart_;
    std::uint16_t word = 0;
    if (token == "ARG" || token == "MAPARG") {
      if (depth >= kMaxScriptNesting) {
        Fail(start,
             "ARG and MAPARG may nest at most " + std::to_string(kMaxScriptNesting) + " deep");
        return 0;
      }
      if (token == "ARG") {
        std::uint16_t parameter = ReadValue(depth + 1);
        word = std::uint16_t(0xF000 | (parameter & 0xFF));
      } else {
        std::uint16_t map = ReadValue(depth + 1);
        std::uint16_t parameter = ReadValue(depth + 1);
        word = std::uint16_t(0xF000 | ((map & 0x0F) << 8) | (parameter & 0xFF));
      }
      if (error_) return 0;
      // The separator after the last inner value closes the form itself; the
      // character after it decides whether the surrounding list ends.
      std::size_t close = valueEnd_ + 1;
      endOfList_ = close >= text_.size() || text_[close] == ')';
      valueEnd_ = std::min(close, text_.size());
    } else {
      word = ConvertNumber(token, start);
      valueEnd_ = tokenEnd_;
    }
    valueStart_ = start;
    return word;
  }

  // A signed 32-bit number, decimal or hexadecimal after "X" or "0X"; its low 16 bits.
  std::uint16_t ConvertNumber(std::string_view token, std::size_t at) {
    std::string_view digits = token;
    int base = 10;
    if (digits.starts_with("0X")) {
      digits.remove_prefix(2);
      base = 16;
    } else if (digits.starts_with("X")) {
      digits.remove_prefix(1);
      base = 16;
    }
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : 0x7FFFFFFFull;
    std::uint64_t value = 0;
    bool valid = !digits.empty();
    for (char c : digits) {
      int digit;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (base == 16 && c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
      else {
        valid = false;
        break;
      }
      value = value * std::uint64_t(base) + std::uint64_t(digit);
      if (value > limit) {
        Fail(at, QuoteInput(token) + " is too large for a number");
        return 0;
      }
    }
    if (!valid) {
      Fail(at, token.empty() ? std::string("a value is missing")
                             : QuoteInput(token) + " is not a number");
      return 0;
    }
    return std::uint16_t(value & 0xFFFF);
  }

  void Add(ElementPtr element) {
    documentBytes_ += ElementFileSize(*element);
    list_.Add(std::move(element));
  }

  // Returns false when the token is no keyword.
  bool ReadStatement(std::string_view keyword, std::size_t keywordAt) {
    const ElementKindRow* row = KindOfScriptKeyword(keyword);
    if (!row) return false;
    // Sprites, VarMaps and Polygons hold more than their fields.
    if (row->Kind == RICElementKind::Sprite)
      ReadSprite();
    else if (row->Kind == RICElementKind::VarMap)
      ReadVarMap(keywordAt);
    else if (row->Kind == RICElementKind::Polygon)
      ReadPolygon(keywordAt);
    else
      ReadFields(*row);
    return true;
  }

  // The words of an element that holds nothing else, in file order.
  void ReadFields(const ElementKindRow& row) {
    auto e = std::make_unique<TRICElement>();
    e->Kind = row.Kind;
    for (const ArgumentField& field : row.Fields) (*e).*field.Member = ReadValue();
    // The zero words the writer writes too (a Pixel's fourth value) are thrown away.
    for (int zero = 0; zero < row.ZeroWords && !endOfList_; ++zero) ReadValue();
    Add(std::move(e));
  }

  // The options, then x, y pairs until the statement's closing parenthesis.
  void ReadPolygon(std::size_t keywordAt) {
    const std::uint16_t options = ReadValue();
    std::vector<PolygonPoint> points;
    while (!endOfList_ && !error_) {
      const std::uint16_t x = ReadValue();
      if (!error_ && endOfList_) Fail(valueStart_, "a polygon point needs an x and a y value");
      const std::uint16_t y = ReadValue();
      if (error_) break;
      if (6 + 4 * (points.size() + 1) > kMaxShapeSizeWord) {
        Fail(keywordAt, "the polygon has more points than one RIC element can hold");
        break;
      }
      points.push_back({x, y});
    }
    Add(MakePolygon(options, std::move(points)));
  }

  // The rows of a sprite: bit rows ("0110"), hexadecimal rows ("0X9F") and
  // IMPORT items, until the statement's closing parenthesis.
  void ReadSprite() {
    std::uint16_t id = ReadValue();
    ElementPtr sprite = MakeSprite(id);
    int rows = 0;
    bool cutNoted = false;  // one note on cut rows per sprite
    std::uint8_t indexes[SpriteCanvas::kWidth];
    while (!endOfList_ && !error_) {
      std::string_view token = NextToken();
      if (error_) break;
      if (token == "IMPORT") {
        ImportPictureIntoSprite(*sprite);
        continue;
      }
      if (token == "EMPTY") {
        ReadEmptySize(*sprite);
        continue;
      }
      std::size_t at = tokenStart_;
      std::size_t pixels = 0;
      if (token.starts_with("0X")) {
        std::string_view digits = token.substr(2);
        if (digits.empty()) Fail(at, "a hexadecimal sprite row needs at least one digit");
        for (std::size_t i = 0; i < digits.size(); ++i) {
          char c = digits[i];
          int nibble = 0;
          if (c >= '0' && c <= '9')
            nibble = c - '0';
          else if (c >= 'A' && c <= 'F')
            nibble = c - 'A' + 10;
          else
            Fail(at + 2 + i, "a hexadecimal sprite row may hold only 0 to 9 and A to F");
          for (int bit = 3; bit >= 0; --bit, ++pixels)
            if (pixels < std::size(indexes))
              indexes[pixels] = (nibble >> bit) & 1 ? kBlackIndex : kWhiteIndex;
        }
      } else {
        for (std::size_t i = 0; i < token.size(); ++i, ++pixels) {
          char c = token[i];
          if (c != '0' && c != '1') Fail(at + i, "a sprite row may hold only 0 and 1");
          if (pixels < std::size(indexes)) indexes[pixels] = c == '1' ? kBlackIndex : kWhiteIndex;
        }
      }
      // Rows and columns beyond the canvas are not drawn, and the used area
      // stays inside the canvas; the reader is told where.
      if (!cutNoted && !error_ && (pixels > std::size(indexes) || rows >= SpriteCanvas::kHeight)) {
        cutNoted = true;
        NoteCut(at, rows >= SpriteCanvas::kHeight
                        ? "the sprite has more rows than the canvas holds (" +
                              std::to_string(SpriteCanvas::kHeight) +
                              "); this row and the ones after it were cut"
                        : "a sprite row of " + std::to_string(pixels) +
                              " pixels is wider than the canvas (" +
                              std::to_string(SpriteCanvas::kWidth) + " pixels); it was cut");
      }
      int drawn = int(std::min(pixels, std::size(indexes)));
      if (rows < SpriteCanvas::kHeight) sprite->Canvas.WriteRowIndexes(0, rows, drawn, indexes);
      ++rows;
      TRect& area = sprite->UsedArea;
      area =
          TRect{0, 0, std::max(area.Right, drawn - 1), std::min(rows, SpriteCanvas::kHeight) - 1};
    }
    sprite->DataSize = std::uint16_t(SpriteDataSize(sprite->UsedArea));
    Add(std::move(sprite));
  }

  // EMPTY( width, height ): a sprite without pixels that still has a width
  // (and no rows) or rows (of no bytes), as a RIC file may hold one.
  void ReadEmptySize(TRICElement& sprite) {
    std::size_t at = tokenStart_;
    const int width = std::min<int>(ReadValue(), SpriteCanvas::kWidth);
    const int height = std::min<int>(ReadValue(), SpriteCanvas::kHeight);
    if (error_) return;
    if (width > 0 && height > 0) {
      Fail(at, "EMPTY needs a width or a height of 0, not " + std::to_string(width) + " x " +
                   std::to_string(height));
      return;
    }
    sprite.UsedArea = TRect{0, 0, width - 1, height - 1};
  }

  // IMPORT( "file", threshold, width, height ), the last three optional.
  void ImportPictureIntoSprite(TRICElement& sprite) {
    std::string_view token = NextToken();
    if (error_) return;
    std::size_t fileAt = tokenStart_;
    // The first and last characters are taken for the quotes.
    std::string_view quoted = token.size() >= 2 ? token.substr(1, token.size() - 2) : "";
    // No file has a name longer than a path may be; a longer one is not copied around.
    std::string name(quoted.substr(0, kLongestPictureName + 1));
    int threshold = 50;
    std::size_t thresholdAt = fileAt;
    if (!endOfList_) {
      threshold = ReadValue();
      thresholdAt = valueStart_;
    }
    int width = 100;
    int height = 64;
    std::size_t sizeAt = fileAt;
    if (!endOfList_) {
      width = std::min<int>(ReadValue(), SpriteCanvas::kWidth);
      sizeAt = valueStart_;
      height = std::min<int>(ReadValue(), SpriteCanvas::kHeight);
    }
    if (error_) return;
    if (threshold > 100) {
      Fail(thresholdAt, "the IMPORT threshold must be 0 to 100, not " + std::to_string(threshold));
      return;
    }
    if (width < 1 || height < 1) {
      Fail(sizeAt, "the IMPORT size must be at least 1 x 1, not " + std::to_string(width) + " x " +
                       std::to_string(height));
      return;
    }
    std::optional<fs::path> file;
    if (name.size() <= kLongestPictureName)
      file = ResolvePictureName(name, path_, folders_, [this] { ReportProgress(true); });
    if (!file) {
      Fail(fileAt, "picture file " + QuoteInput(name) + " not found");
      return;
    }
    const Picture* picture = CachedPicture(file->string(), fileAt);
    if (!picture) return;
    // One sprite may hold any number of IMPORT items: what they draw is bounded too.
    drawnPixels_ += std::size_t(width) * std::size_t(height);
    if (drawnPixels_ > kMaxScriptPicturePixels) {
      Fail(fileAt, "the IMPORT items of the script draw more than " +
                       std::to_string(kMaxScriptPicturePixels) + " pixels in all");
      return;
    }
    Picture cut = ConvertToBlackAndWhite(*picture, width, height, threshold);
    std::vector<std::uint8_t> row(std::size_t(width), kWhiteIndex);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x)
        row[std::size_t(x)] = cut.At(x, y) == kBlack ? kBlackIndex : kWhiteIndex;
      sprite.Canvas.WriteRowIndexes(0, y, width, row.data());
    }
    sprite.UsedArea = TRect{0, 0, width - 1, height - 1};
  }

  // A picture decoded at most once per script, however many IMPORT items name
  // it; the pixels all pictures hold together are bounded, and so is the work.
  const Picture* CachedPicture(const std::string& file, std::size_t at) {
    if (auto it = pictures_.find(file); it != pictures_.end()) return &it->second;
    Picture picture;
    try {
      picture = LoadPicture(file);
    } catch (const TavlinError& e) {
      Fail(at, e.what());
      return nullptr;
    }
    decodedPixels_ += picture.Pixels.size();
    if (decodedPixels_ > kMaxScriptPicturePixels) {
      Fail(at, "the pictures the script imports hold more than " +
                   std::to_string(kMaxScriptPicturePixels) + " pixels in all");
      return nullptr;
    }
    ReportProgress(true);
    return &pictures_.emplace(file, std::move(picture)).first->second;
  }

  // The points of a VarMap, each written "F( domain)= range".
  void ReadVarMap(std::size_t keywordAt) {
    std::uint16_t id = ReadValue();
    ElementPtr map = MakeVarMap(id, 0);
    std::size_t index = 0;
    while (!endOfList_ && !error_) {
      NextToken();  // the "F" before each point; any token will do
      std::uint16_t domain = ReadValue();
      std::uint16_t range = ReadValue();
      if (error_) break;
      if (index >= map->Points.size()) {
        if (8 + 4 * (map->Points.size() + 1) > kRicBufferSize) {
          Fail(valueStart_, "the VarMap has more points than a RIC file can hold");
          break;
        }
        map->Points.push_back({});
      }
      map->Points[index] = VarMapPoint{domain, range};
      ++index;
    }
    if (!error_ && index < 2) Fail(keywordAt, "a VarMap needs at least two points");
    Add(std::move(map));
  }

  std::string_view text_;
  const std::string& path_;
  const ScriptProgress& progress_;
  std::size_t reportedAt_ = 0;
  // The pictures IMPORT items named, each decoded once, by file.
  std::map<std::string, Picture> pictures_;
  // The folders read to find pictures named in another case.
  std::map<fs::path, FolderIndex> folders_;
  std::size_t decodedPixels_ = 0;
  std::size_t drawnPixels_ = 0;
  std::size_t pos_ = 0;
  bool endOfList_ = false;
  std::size_t tokenStart_ = 0;
  std::size_t tokenEnd_ = 0;
  std::size_t valueStart_ = 0;
  std::size_t valueEnd_ = 0;
  bool error_ = false;
  std::size_t errorAt_ = kNoLimit;
  std::string errorReason_;
  std::size_t documentBytes_ = 0;
  std::size_t stoppedAt_ = kNoLimit;
  std::vector<std::pair<std::size_t, std::string>> cuts_;
  RICElementList list_;
};

// The original text of a statement that starts at `at`: the rest of its line
// up to its first semicolon, without a comment, quoted and shortened.
std::string StatementText(std::string_view raw, ScriptPosition at) {
  std::size_t start = 0;
  for (int line = 1; line < at.Line && start < raw.size(); ++line) {
    while (start < raw.size() && raw[start] != '\n' && raw[start] != '\r') ++start;
    if (start + 1 < raw.size() && raw[start] == '\r' && raw[start + 1] == '\n') ++start;
    ++start;
  }
  start = std::min(raw.size(), start + std::size_t(at.Column) - 1);
  // Only the start of a long line can be shown.
  const std::size_t longest = std::min(raw.size(), start + 4 * kQuotedInputLength);
  std::size_t stop = start;
  while (stop < longest && raw[stop] != '\n' && raw[stop] != '\r') ++stop;
  std::string text(raw.substr(start, stop - start));
  text = text.substr(0, text.find("//"));
  if (std::size_t semicolon = text.find(';'); semicolon != std::string::npos)
    text.resize(semicolon + 1);
  for (char& c : text)
    if (IsBlankOrControl(c)) c = ' ';
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return QuoteInput(text);
}

}  // namespace

namespace {

// The elements, or the error thrown at its place in `raw`; the stop becomes a note.
RICElementList Finish(ScriptOutcome outcome, std::string_view raw, const std::string& path,
                      std::vector<std::string>* notes) {
  if (outcome.ErrorAt != kNoLimit) {
    const ScriptPosition at = ScriptPositionOf(raw, outcome.ErrorAt);
    throw RicScriptError(path, at.Line, at.Column, outcome.Reason);
  }
  if (outcome.StoppedAt != kNoLimit && notes) {
    const ScriptPosition stop = ScriptPositionOf(raw, outcome.StoppedAt);
    notes->push_back(RicScriptError(path, stop.Line, stop.Column,
                                    StatementText(raw, stop) + " is not a RicScript statement; " +
                                        std::string(kScriptStopNoteEnd))
                         .what());
  }
  if (notes) {
    for (const auto& [index, note] : outcome.Cuts) {
      const ScriptPosition at = ScriptPositionOf(raw, index);
      notes->push_back(RicScriptError(path, at.Line, at.Column, note).what());
    }
  }
  return std::move(outcome.List);
}

// A file of known size is read into exactly its size: a buffer grown while
// reading would hold up to twice the script for a moment.
std::vector<std::uint8_t> ReadScriptBytes(const std::string& path) {
  std::error_code ec;
  const auto bytes = fs::file_size(path, ec);
  if (!ec && bytes > kMaxScriptFileBytes)
    throw TavlinError(path, "the script file is too large (" + std::to_string(bytes) + " bytes)");
  bool longer = true;
  std::vector<std::uint8_t> data;
  if (!ec) data = ReadFileBytes(path, std::size_t(bytes), &longer);
  if (longer) data = ReadFileBytes(path, kMaxScriptFileBytes + 1);
  if (data.size() > kMaxScriptFileBytes) throw TavlinError(path, "the script file is too large");
  return data;
}

std::string_view AsText(const std::vector<std::uint8_t>& data) {
  return {reinterpret_cast<const char*>(data.data()), data.size()};
}

}  // namespace

RICElementList ParseRicScript(std::string_view raw, const std::string& scriptPath,
                              std::vector<std::string>* notes, const ScriptProgress& progress) {
  const std::string text = FilterScriptText(raw).Text;
  return Finish(ScriptReader(text, scriptPath, progress).Read(), raw, scriptPath, notes);
}

RICElementList LoadRicScript(const std::string& path, std::vector<std::string>* notes,
                             const ScriptProgress& progress) {
  std::vector<std::uint8_t> data = ReadScriptBytes(path);
  // The filtered text is never longer than the file: it is made in the file's
  // own buffer, so reading needs little more than the file's size.
  std::size_t kept = 0;
  WalkScriptFilter(AsText(data), [&](char c, ScriptPosition) {
    data[kept++] = std::uint8_t(c);
    return true;
  });
  data.resize(kept);
  ScriptOutcome outcome = ScriptReader(AsText(data), path, progress).Read();
  if (outcome.ErrorAt == kNoLimit &&
      (!notes || (outcome.StoppedAt == kNoLimit && outcome.Cuts.empty())))
    return std::move(outcome.List);
  // Places are found in the original text, read again once the filtered one is gone.
  std::vector<std::uint8_t>().swap(data);
  data = ReadScriptBytes(path);
  return Finish(std::move(outcome), AsText(data), path, notes);
}

bool ReadRicScript(RICElementList& document, const std::string& path, bool clearFirst,
                   std::vector<std::string>* notes) {
  RICElementList list = LoadRicScript(path, notes);
  if (clearFirst) ClearElements(document);
  document.Append(std::move(list));
  return true;
}

// ---------------------------------------------------------------------------
// Writer

std::string FormatScriptArgument(RICArgument word) {
  if ((word & 0xF000) == 0) return std::to_string(word);
  if ((word & 0xFF00) == 0xF000) return "arg(" + std::to_string(word & 0xFF) + ")";
  return "maparg( " + std::to_string((word >> 8) & 0x0F) + ", " + std::to_string(word & 0xFF) +
         " )";
}

namespace {

void AppendLine(std::string& out, const std::string& line) {
  out += line;
  out += "\r\n";
}

void AppendSpriteRows(std::string& out, const TRICElement& e) {
  const TRect& area = e.UsedArea;
  const std::string indent(8, ' ');
  // An unset area is written as one clear pixel, which is what a RIC file
  // holds for it; an empty one keeps its width or its rows, so that it comes
  // back to the same RIC bytes.
  if (!area.IsSet()) {
    AppendLine(out, indent + "0  );");
    return;
  }
  if (area.Right < area.Left || area.Bottom < area.Top) {
    AppendLine(out, indent + "empty( " + std::to_string(std::max(area.Right - area.Left + 1, 0)) +
                        ", " + std::to_string(std::max(area.Bottom - area.Top + 1, 0)) + " )  );");
    return;
  }
  std::string line;
  for (int y = area.Top; y <= area.Bottom; ++y) {
    line = indent;
    for (int x = area.Left; x <= area.Right; ++x)
      line += SpriteCanvas::Contains(x, y) && e.Canvas.IsBlack(x, y) ? '1' : '0';
    line += y == area.Bottom ? "  );" : ",";
    AppendLine(out, line);
  }
}

}  // namespace

std::string RicScriptText(const RICElementList& list) {
  std::string out;
  for (const ElementPtr& element : list) {
    const TRICElement& e = *element;
    switch (e.Kind) {
      case RICElementKind::Sprite:
        AppendLine(out, "sprite( " + std::to_string(e.ID) + ",");
        AppendSpriteRows(out, e);
        break;
      case RICElementKind::VarMap:
        AppendLine(out, "varmap( " + std::to_string(e.ID) + ", ");
        for (std::size_t i = 0; i < e.Points.size(); ++i)
          AppendLine(out, "        f( " + std::to_string(e.Points[i].Domain) +
                              ")= " + std::to_string(e.Points[i].Range) +
                              (i + 1 == e.Points.size() ? "  );" : ","));
        break;
      case RICElementKind::Polygon: {
        // One point a line, as the VarMap's.
        const std::string options = FormatScriptArgument(e.CopyOpt);
        if (e.PolygonPoints.empty()) {
          AppendLine(out, "polygon( " + options + " );");
          break;
        }
        AppendLine(out, "polygon( " + options + ",");
        for (std::size_t i = 0; i < e.PolygonPoints.size(); ++i)
          AppendLine(out, "        " + FormatScriptArgument(e.PolygonPoints[i].X) + ", " +
                              FormatScriptArgument(e.PolygonPoints[i].Y) +
                              (i + 1 == e.PolygonPoints.size() ? "  );" : ","));
        break;
      }
      default: {
        // The elements that hold their fields only, and the zero words some
        // end with (a Pixel's unused value).
        const ElementKindRow& row = KindRow(e.Kind);
        std::string line = std::string(row.ScriptKeyword) + "( ";
        for (std::size_t i = 0; i < row.Fields.size(); ++i) {
          const std::uint16_t word = e.*row.Fields[i].Member;
          line += (i ? ", " : "") +
                  (row.ArgumentWords ? FormatScriptArgument(word) : std::to_string(word));
        }
        for (int zero = 0; zero < row.ZeroWords; ++zero) line += ", 0";
        AppendLine(out, line + " );");
        break;
      }
    }
    AppendLine(out, "");
  }
  return out;
}

void SaveRicScript(const std::string& path, const RICElementList& list) {
  WriteFileAtomic(path, RicScriptText(list));
}

bool WriteRicScript(const RICElementList& document, const std::string& path) {
  SaveRicScript(path, document);
  return true;
}

}  // namespace tavlin
