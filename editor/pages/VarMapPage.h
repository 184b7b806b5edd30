// TVarMapPage: the page that edits a VarMap element: a graph of the map that
// the mouse edits, a six-row table of domain/range fields with delete and
// insert buttons and a scroll bar, the VarMap id, and the commands import from
// the clipboard, delete all entries, optimize and export (buttons and the
// Edit > "VarMap" menu).
//
// The point list operations it calls (put, remove, optimize) are base's
// VarMapPoints: they keep the points sorted by ascending domain and leave a
// map loaded from a file in its own order until the user edits it.
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

#include "RICElement.h"
#include "VarMapPoints.h"

class QAction;
class QLabel;
class QScrollBar;
class QSpinBox;
class QToolButton;

namespace tavlin {

class TEditorHost;
class THoldingSpinEdit;
class TNxtImage;

// Every run of decimal digits is one number, anything else separates them;
// numbers above 65535 count as 65535.
std::vector<std::uint16_t> ReadClipboardNumbers(const QString& text);

class TVarMapPage : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kRows = 6;
  static constexpr int kMaxDomain = 255;

  TVarMapPage(TEditorHost& host, QWidget* parent);
  // Fills the page from the element; the window's edit events are off
  // meanwhile, so filling writes nothing back.
  void ShowVarMapPage(const TRICElement& e);

  // The graph's scale: 360 divided by the larger of 10 and the largest range,
  // as the last drawing of the graph found it.
  double GraphScale() const { return 360.0 / scaleDivisor_; }
  // The graph point of a map point.
  int GraphX(int domain) const { return 20 + 2 * domain; }
  int GraphY(int range) const;
  // Where the last drawing of the graph put the labels under it and beside it.
  const std::vector<QRect>& DomainLabelBoxes() const { return domainLabelBoxes_; }
  const std::vector<QRect>& RangeLabelBoxes() const { return rangeLabelBoxes_; }

  // Operations on the selected VarMap (they do nothing without one).
  void SetVarMapPoint(int domain, int range);
  void DeleteVarMapPoint(int domain, int range);
  void GraphToPoint(int x, int y, int& domain, int& range) const;
  void RefreshVarMapTable();
  void ApplyVarMapRows();
  void DrawVarMapGraph(int markDomain = -1, int markRange = -1);
  // The graph takes the page's height beyond the default 700 (or gives it
  // up), and everything under it keeps its distance to the page's foot.
  void ArrangeGraph(QSize page);
  void ResetVarMapPoints();
  void ImportVarMapFromClipboard();
  void OptimizeVarMap();

  // Event handlers.
  void Image_VarMapMouseDown(int x, int y, Qt::MouseButton button);
  void Image_VarMapMouseMove(int x, int y);
  // `field` names the spin box edited; edits of one field merge into one step.
  void SpinEdit_VarMap_Change(const QString& field = QString());
  void ScrollBar_VarMapChange();
  void BitBtn_VarMap_DeleteClick(int row);
  void BitBtn_VarMap_InsertClick(int row);
  void Menu_VarMap_ExportClick();

  TNxtImage* Image_VarMap = nullptr;
  TNxtImage* Image_VarMap_Range = nullptr;
  TNxtImage* Image_VarMap_Domain = nullptr;
  QLabel* Label_VarMap_ID = nullptr;
  THoldingSpinEdit* SpinEdit_VarMap_ID = nullptr;
  QLabel* Label_VarMap_Domain = nullptr;
  QLabel* Label_VarMap_Range = nullptr;
  std::array<QLabel*, kRows> Label_VarMap_DS{};
  std::array<THoldingSpinEdit*, kRows> SpinEdit_VarMap_Domain{};
  std::array<QSpinBox*, kRows> SpinEdit_VarMap_Range{};
  std::array<QToolButton*, kRows> BitBtn_VarMap_Delete{};
  std::array<QToolButton*, kRows> BitBtn_VarMap_Insert{};
  QScrollBar* ScrollBar_VarMap = nullptr;
  QToolButton* SpeedButton_VarMap_Import = nullptr;
  QToolButton* SpeedButton_VarMap_DeleteEntries = nullptr;
  QToolButton* SpeedButton_VarMap_Optimize = nullptr;
  QAction* VarMap_DeleteList = nullptr;
  QAction* Menu_VarMap_Import = nullptr;
  QAction* Menu_VarMap_Export = nullptr;
  QAction* Menue_VarMap_Optimize = nullptr;

 private:
  // The controls under the graph, with their tops at the default size.
  QList<std::pair<QWidget*, int>> belowGraph_;
  void BuildTable();
  void BuildCommands();
  // The selected element when it is a VarMap, else null.
  TRICElement* Map() const;
  void FillVarMapRow(int row, int index);
  void SetScaleFor(const std::vector<VarMapPoint>& points);
  void DrawDomainLabels(const std::vector<VarMapPoint>& points, int markDomain);
  void DrawRangeLabels(const std::vector<VarMapPoint>& points, int markRange);

  TEditorHost& host_;
  int scaleDivisor_ = 10;  // the larger of 10 and the largest range
  std::array<bool, kRows> rowShown_{};
  std::vector<QRect> domainLabelBoxes_;
  std::vector<QRect> rangeLabelBoxes_;
};

}  // namespace tavlin
