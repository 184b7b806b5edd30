// The document's history: every kind of step undone and redone gives back the
// exact bytes, edits merge, and "modified" follows the saved state.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "Document.h"
#include "RicFile.h"

namespace tavlin {
namespace {

class DocumentTest : public ::testing::Test {
 protected:
  RICDocument doc;

  void SetUp() override {
    RICElementList start;
    start.Add(MakeLine(0, 1, 2, 3, 4));
    start.Add(MakeSprite(1));
    start.Add(MakeCircle(0, 30, 30, 10));
    doc.Reset(std::move(start), "a.ric");
  }
  std::vector<std::uint8_t> Bytes() const { return EncodeRic(doc.ElementList()); }
};

// What an observer hears of each step: its unfinished work ended first, then
// the change (what, where, which element to show), then the history.
class Recorder : public DocumentObserver {
 public:
  std::vector<std::string> heard;
  void EndFloatingWork(const RICDocument&) override { heard.push_back("end"); }
  void DocumentChanged(const RICDocument&, const DocumentChange& c) override {
    static const char* kinds[] = {"edited", "inserted", "removed", "moved", "replaced"};
    heard.push_back(std::string(kinds[int(c.What)]) + " " + std::to_string(c.First) + "+" +
                    std::to_string(c.Count) + ".." + std::to_string(c.Last) + " @" +
                    std::to_string(c.Focus));
  }
  void HistoryChanged(const RICDocument&) override { heard.push_back("history"); }
};

TEST_F(DocumentTest, ObserversHearEveryStepInOrder) {
  Recorder r;
  doc.AddObserver(&r);
  const std::vector<std::pair<std::function<void()>, std::vector<std::string>>> cases = {
      {[&] { doc.Add(MakePixel(0, 1, 2), "Add"); }, {"end", "inserted 3+1..3 @3", "history"}},
      {[&] { doc.Remove(0, "Delete"); }, {"end", "removed 0+1..0 @0", "history"}},
      {[&] { doc.Undo(); }, {"end", "inserted 0+1..0 @0", "history"}},
      {[&] { doc.Move(0, 2, "Move"); }, {"end", "moved 0+0..2 @2", "history"}},
      {[&] { doc.Undo(); }, {"end", "moved 0+0..2 @0", "history"}},
      {[&] {
         TRICElement* line = doc.ElementList()[0];
         doc.Track(line);
         line->X1 = 9;
         doc.ElementEdited(line, "Change X1");
       },
       {"end", "edited 0+1..0 @0", "history"}},
      {[&] { doc.MarkSaved(); }, {"history"}},
      {[&] { doc.EndFloatingWork(); }, {"end"}},
      {[&] { doc.Reset(RICElementList(), ""); }, {"end", "replaced 0+0..0 @-1", "history"}},
  };
  for (const auto& [act, expected] : cases) {
    r.heard.clear();
    act();
    EXPECT_EQ(r.heard, expected);
  }
  doc.RemoveObserver(&r);
  doc.Add(MakePixel(0, 1, 2), "Add");
  EXPECT_EQ(r.heard.size(), 3u);  // a removed observer hears no more
}

// Each document keeps its own picture, parameters and placeholder: two open
// at once share nothing.
TEST_F(DocumentTest, TwoDocumentsShareNothing) {
  RICDocument other;
  other.Parameters().ParameterSet[3] = 7;
  other.Parameters().MaxParameterIndex = 255;
  other.UndefinedSprite().Canvas.SetPixel(0, 448, kBlack);
  other.Add(MakePixel(0, 1, 2), "Add Pixel");
  EXPECT_EQ(doc.Parameters().ParameterSet[3], 0);
  EXPECT_EQ(doc.Parameters().MaxParameterIndex, 15);
  EXPECT_EQ(doc.UndefinedSprite().Canvas.Pixel(0, 448), kGrey);
  EXPECT_EQ(doc.ElementList().Count(), 3);
  EXPECT_EQ(other.ElementList().Count(), 1);
  EXPECT_FALSE(doc.CanUndo());
}

TEST_F(DocumentTest, EveryStepUndoesAndRedoesToTheExactBytes) {
  const std::vector<std::function<void()>> steps = {
      [&] { doc.Add(MakePixel(0, 5, 6), "Add Point"); },
      [&] { doc.Insert(0, MakeNumBox(0, 1, 1, 7), "Paste NumBox"); },
      [&] {
        RICElementList more;
        more.Add(MakeVarMap(2, 2));
        more.Add(MakeRectangle(0, 1, 2, 3, 4));
        doc.InsertList(doc.ElementList().Count(), std::move(more), "Merge");
      },
      [&] { doc.Remove(1, "Delete Line"); },
      [&] { doc.Exchange(0, 2, "Move Circle"); },
      [&] { doc.Move(0, 2, "Move Line"); },
      [&] {
        TRICElement* e = doc.ElementList()[1];
        doc.Track(e);
        e->Canvas.SetPixelIndex(3, 4, kBlackIndex);
        e->UsedArea = {3, 4, 3, 4};
        doc.ElementEdited(e, "Pencil");
      },
      [&] {
        std::vector<int> reversed;
        for (int i = doc.ElementList().Count(); i-- > 0;) reversed.push_back(i);
        doc.Reorder(reversed, 0, "Move Sprite");
      },
      [&] {  // one element dragged two places down: kept as a move
        std::vector<int> order(std::size_t(doc.ElementList().Count()));
        std::iota(order.begin(), order.end(), 0);
        std::rotate(order.begin(), order.begin() + 1, order.begin() + 3);
        doc.Reorder(order, 2, "Move Line");
      },
      [&] {
        doc.Add(MakePolygon(0, {{1, 2}, {3, 4}, {5, 6}}), "Add Polygon");
      },
      [&] {
        TRICElement* e = doc.ElementList()[doc.ElementList().Count() - 1];
        doc.Track(e);
        e->PolygonPoints[1].X = 9;
        doc.ElementEdited(e, "Move Point");
      },
      [&] { doc.Add(MakeEllipse(0, 50, 30, 20, 10), "Add Ellipse"); },
      [&] {
        TRICElement* e = doc.ElementList()[doc.ElementList().Count() - 1];
        doc.Track(e);
        e->RadiusY = 12;
        doc.ElementEdited(e, "Change RadiusY");
      },
      [&] {
        RICElementList other;
        other.Add(MakeDescription(1, 100, 64));
        doc.ReplaceAll(std::move(other), "Import RicScript");
      },
  };
  std::vector<std::vector<std::uint8_t>> states{Bytes()};
  std::vector<const TRICElement*> first{doc.ElementList()[0]};
  for (const auto& step : steps) {
    step();
    states.push_back(Bytes());
    first.push_back(doc.ElementList().At(0));
  }
  for (std::size_t i = steps.size(); i-- > 0;) {
    doc.Undo();
    EXPECT_EQ(Bytes(), states[i]) << "after undoing step " << i;
    EXPECT_EQ(doc.ElementList().At(0), first[i]) << "the same element object comes back";
  }
  EXPECT_FALSE(doc.CanUndo());
  for (std::size_t i = 0; i < steps.size(); ++i) {
    doc.Redo();
    EXPECT_EQ(Bytes(), states[i + 1]) << "after redoing step " << i;
  }
  EXPECT_FALSE(doc.CanRedo());
}

TEST_F(DocumentTest, EditsOfOneFieldMergeAndUndoSelectsTheElement) {
  TRICElement* circle = doc.ElementList()[2];
  doc.Track(circle);
  for (int x : {31, 32, 33}) {
    circle->PosX = x;
    doc.ElementEdited(circle, "Change PosX", "PosX");
  }
  circle->Radius = 5;
  doc.ElementEdited(circle, "Change Radius", "Radius");
  doc.ElementEdited(circle, "Change Radius");  // nothing changed: no step
  doc.InsertList(0, RICElementList{}, "Merge empty.ric");
  EXPECT_EQ(doc.UndoCount(), 2u);
  EXPECT_EQ(doc.UndoName(), "Change Radius");
  EXPECT_EQ(doc.Undo(), 2);
  EXPECT_EQ(doc.Undo(), 2);
  EXPECT_EQ(circle->PosX, 30);
  EXPECT_EQ(doc.RedoName(), "Change PosX");
  // A new step drops what could be redone.
  doc.Add(MakePixel(0, 1, 1), "Add Point");
  EXPECT_FALSE(doc.CanRedo());
}

TEST_F(DocumentTest, EllipseAndPolygonEditsAreStepsThatUndo) {
  TRICElement* ellipse = doc.ElementList()[doc.Add(MakeEllipse(0, 30, 30, 20, 10), "Add Ellipse")];
  TRICElement* polygon =
      doc.ElementList()[doc.Add(MakePolygon(0, {{1, 2}, {3, 4}, {5, 6}}), "Add Polygon")];
  const std::vector<std::pair<TRICElement*, std::function<void(TRICElement&)>>> edits = {
      {ellipse, [](TRICElement& e) { e.RadiusX = 7; }},
      {polygon,
       [](TRICElement& e) {
         e.PolygonPoints.push_back({7, 8});
       }},
      {polygon, [](TRICElement& e) { e.PolygonCount = 5; }},
      {polygon, [](TRICElement& e) { e.ExtraBytes = {1}; }},
      {polygon, [](TRICElement& e) { e.CutSize = 6; }},
  };
  for (std::size_t i = 0; i < edits.size(); ++i) {
    TRICElement* e = edits[i].first;
    const TRICElement before = *e;
    doc.Track(e);
    edits[i].second(*e);
    doc.ElementEdited(e, "Edit");
    EXPECT_EQ(doc.UndoName(), "Edit") << "edit " << i;
    doc.Undo();
    EXPECT_EQ(ShapeRecordWords(*e), ShapeRecordWords(before)) << "edit " << i;
    EXPECT_EQ(ShapeSizeWord(*e), ShapeSizeWord(before)) << "edit " << i;
  }
}

TEST_F(DocumentTest, ModifiedFollowsTheSavedState) {
  EXPECT_FALSE(doc.Modified());
  doc.Remove(0, "Delete Line");
  EXPECT_TRUE(doc.Modified());
  doc.Undo();
  EXPECT_FALSE(doc.Modified());
  doc.Redo();
  doc.MarkSaved();
  TRICElement* circle = doc.ElementList()[1];
  doc.Track(circle);
  circle->PosX = 40;
  doc.ElementEdited(circle, "Change PosX", "PosX");
  circle->PosX = 41;
  doc.ElementEdited(circle, "Change PosX", "PosX");
  doc.Undo();  // both edits went into one step after the save
  EXPECT_FALSE(doc.Modified());
  EXPECT_EQ(circle->PosX, 30);
  doc.Undo();  // back past the save
  EXPECT_TRUE(doc.Modified());
  doc.Redo();
  EXPECT_FALSE(doc.Modified());
  // Undone steps beyond the save dropped by a new one: the saved state is gone.
  doc.Undo();
  doc.Add(MakePixel(0, 1, 1), "Add Point");
  doc.Undo();
  EXPECT_TRUE(doc.Modified());
  // An edit of an element the document did not track still counts.
  doc.Reset(RICElementList{}, "");
  doc.Add(MakePixel(0, 1, 1), "Add Point");
  doc.MarkSaved();
  doc.ElementList()[0]->PosX = 9;
  doc.ElementEdited(doc.ElementList()[0], "Change PosX");
  EXPECT_TRUE(doc.Modified());
}

TEST_F(DocumentTest, TheOldestStepsGoBeyondTheLimit) {
  for (std::size_t i = 0; i < RICDocument::kHistoryLimit + 10; ++i)
    doc.Add(MakePixel(0, 1, 1), "Add Point");
  EXPECT_EQ(doc.UndoCount(), RICDocument::kHistoryLimit);
  while (doc.CanUndo()) doc.Undo();
  EXPECT_EQ(doc.ElementList().Count(), 3 + 10);
  EXPECT_TRUE(doc.Modified());
}

}  // namespace
}  // namespace tavlin
