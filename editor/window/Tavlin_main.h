// TForm_Tavlin: the editor's main window. The element list on the left, one
// editing page per element kind on the right, the NXT output and parameter
// panels, menus and status bar. The class is split by concern over several
// sources: Tavlin_main.cpp (frame, refresh cycle), Tavlin_main_File.cpp
// (document and RicScript commands), Tavlin_main_List.cpp (element list),
// Tavlin_main_Shapes.cpp (the Information page, the shape pages' screens) and
// Tavlin_main_Params.cpp (parameter panel and preview), Tavlin_main_History.cpp
// (undo and redo) and Tavlin_main_Clipboard.cpp (cut, copy and paste). The Sprite, CopyBits,
// VarMap, Polygon and shape pages are classes of their own (SpritePage, CopyBitsPage,
// VarMapPage, PolygonPage, ShapePage).
#pragma once

#include <QList>
#include <QMainWindow>
#include <QPoint>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DisplayMode.h"
#include "Document.h"
#include "EditorHost.h"
#include "NXTDisplay.h"
#include "ParameterSweep.h"
#include "RICElement.h"
#include "SourceExport.h"

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QScrollBar;
class QSpinBox;
class QStackedWidget;
class QStatusBar;
class QTimer;
class QToolButton;
class QWidget;

namespace tavlin {

class TDiskWatch;
class TDocumentSignals;
class TDrawGrid;
class TRecoveryKeeper;
struct RecoveryCopy;
class THoldingSpinEdit;
class TNxtImage;
class TRICParameterEdit;
class UserDialogs;
class TForm_Tavlin_Info;
class TCopyBitsPage;
class TPolygonPage;
class TPreviewAnimation;
class TScreenLayout;
class TShapePage;
class TSpritePage;
class TVarMapPage;

class TForm_Tavlin : public QMainWindow, public TEditorHost {
  Q_OBJECT
 public:
  // The window does not own `dialogs`; it must outlive the window. It owns
  // the document it shows: `document` as started (the parameter file read),
  // or, when none is given, a new empty one.
  explicit TForm_Tavlin(UserDialogs& dialogs, std::unique_ptr<RICDocument> document = nullptr,
                        QWidget* parent = nullptr);
  ~TForm_Tavlin() override;

  // The document and the selection
  RICDocument& Document() override { return *document_; }
  const RICDocument& Document() const { return *document_; }
  TRICElement* SelectedElement() const override { return selectedElement_; }
  int SelectedIndex() const override { return selectedIndex_; }
  // Selects the element at `index` and shows it, as a click on its row does.
  void SelectElement(int index);
  // The document differs from the state of its last save or open.
  bool Modified() const;
  const QString& CurrentFileName() const { return currentFileName_; }
  void SetCurrentFileName(const QString& path);

  // Views
  void ShowElement(int index);
  void RefreshDocumentView();
  // Draws what is scheduled now; for whatever needs the views up to date.
  void FlushRefresh();
  // How often the whole document has been rendered for the output picture.
  int DocumentRenders() const { return documentRenders_; }
  // Shows "modified" and what Undo and Redo would take back or do again.
  void ShowHistoryState();
  void ShowPointerPosition(int x, int y) override;
  void DrawElementCell(QPainter& painter, int column, int row, const QRect& rect, bool selected);
  void SetListRows(int elementCount);

  // Commands
  void UndoStep() override;
  void RedoStep();
  // Opens a RIC file; a RicScript file (.rs) is imported instead, so that the
  // document gets no file name and Save asks for one.
  bool OpenRicFile(const QString& path);
  bool SaveDocument();
  bool SaveDocumentAs();
  void NewCommand();
  void AddElement(RICElementKind kind);
  void DoubleElement();
  void MoveElementUp();
  void SetParameterMode(int count);
  void EnterPreviewMode();

  // The file on disk and recovery copies (Tavlin_main_Disk.cpp)
  TRecoveryKeeper* Recovery() const { return recovery_; }
  // Reads the document's file again, as one step that can be undone; unsaved
  // changes are asked about first.
  bool ReloadFromDisk();
  // Offers each recovery copy left by an editor that ended without saving:
  // Restore, Discard or Later.
  void OfferRecoveryCopies();
  // Writes the recovery copy of unsaved work at once (the program is ending).
  void WriteRecoveryNow();

  // Display modes: the editor's own preview, or the file's bytes as a
  // firmware draws them (the NXT output, the element pages, the CopyBits
  // destination and the preview). The choice is kept between runs.
  DisplayMode CurrentDisplayMode() const { return displayMode_; }
  void SetDisplayMode(DisplayMode mode);
  // What the brick will do differently from what the picture probably means,
  // for the firmware chosen (none in the editor's own preview).
  const std::vector<BrickFinding>& BrickFindings() const { return brickFindings_; }
  // In a brick mode, why the selected element is not drawn, where the brick's
  // walk stops at it or before it; empty otherwise. Shown on its page's canvas.
  QString BrickPageNotice();

 private:
  // Frame and refresh cycle
  void SetUpWindow();
  void UpdateDocumentStatus();
  // What a change leaves to be redrawn. However many controls change in one
  // pass of the event loop, each part is drawn once, when the pass is done.
  enum RefreshPart {
    kRefreshList = 1,       // the element list's rows
    kRefreshDocument = 2,   // the output picture, counts and history state
    kRefreshPageImage = 4,  // the shape page's enlarged screen
    kRefreshPage = 8,       // the selected element's page, filled anew
    kRefreshPreview = 16,   // the preview's picture
  };
  void ScheduleRefresh(int parts);

  void SelectedElementEdited(const std::string& name, const std::string& mergeKey = {}) override;
  void SealEditStep() override;
  // "letters.ric* - Tavlin V2.0.4": the file's name ("Untitled" without one), "*" while modified.
  void UpdateTitle();

  // Document commands
  bool AskSaveFirst();
  void OpenCommand();
  void MergeCommand();
  void DeleteElement();
  void MoveElementDown();
  // The clipboard: the element list's selected element (as RIC bytes and as
  // RicScript text) or the sprite's marked area, whichever the keyboard is
  // on. Paste inserts elements after the selected one as one step.
  void CutCommand();
  void CopyCommand();
  void PasteCommand();
  bool CopyElement();
  void CutElement();
  // Our own elements, or RicScript text (a text that does not read says why).
  bool PasteElements();
  // The element list's right-click menu, filled for the present state.
  QMenu* ShowListMenu(const QPoint& global);
  void AboutCommand();
  void ImportRicScript1Click();
  void ExportRicScript1Click();
  // File > Export > "NXC source..." and "NBC source...".
  void Menu_File_Export_NxcClick();
  void Menu_File_Export_NbcClick();
  // Opens an entry of File > Open Recent; a file that is gone is reported and leaves the list.
  void OpenRecentFile(const QString& path);

  // The file on disk and recovery copies (Tavlin_main_Disk.cpp)
  TDiskWatch* DiskWatch() const { return diskWatch_; }

  // Element list
  void RefreshSelectedRow() override;
  void DrawGrid_RICSelectCell(int column, int row);
  void DrawGrid_RICMouseDown(Qt::MouseButton button, int x, int y);
  void DrawGrid_RICMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                             int y);
  void DrawGrid_RICMouseUp();

  // Parameter panel and preview
  void RefreshParameterPanel();
  void EnterModifyMode();
  bool InPreviewMode() const;
  void ParameterLoad();
  void ParameterSave();
  void ParameterClear();
  // File > Export: the preview's sweep as an animated GIF, the display as a
  // PNG, both at the preview's export zoom.
  void ExportAnimationGif();
  void ExportPicturePng();

  // Shows the checks' list, whose lines select their elements.
  void ShowBrickChecks();
  bool RenderSelectedOnBrick(NXTDisplay& screen) override;
  void PaintBrickPageNotice(TNxtImage* image);
  std::string ModeIgnoringCopyOptions() const override;
  std::string CopyOptionsModeName() const override;
  void ShowCopyOptionsDrawn() override;

 private:
  // Widgets and actions named as the user sees them; each carries its name as
  // its objectName too, by which tests find it.
  QStackedWidget* PageControl_Navigate = nullptr;
  QWidget* TabSheet_Navigate_Modify = nullptr;
  QWidget* TabSheet_Navigate_Preview = nullptr;
  TDrawGrid* DrawGrid_RIC = nullptr;
  QGroupBox* GroupBox_NXT = nullptr;
  TNxtImage* Image_NXT = nullptr;
  QLabel* Label_Elements = nullptr;
  QLabel* Label_FileSize = nullptr;
  QToolButton* SpeedButton_FileIO_Open = nullptr;
  QToolButton* SpeedButton_FileIO_Save = nullptr;
  QToolButton* SpeedButton_FileIO_SaveAs = nullptr;
  QToolButton* SpeedButton_FileIO_Merge = nullptr;
  QToolButton* SpeedButton_FileIO_New = nullptr;
  QToolButton* SpeedButton_RIC_AddComment = nullptr;
  QToolButton* SpeedButton_RIC_AddCopyBits = nullptr;
  QToolButton* SpeedButton_RIC_AddSprite = nullptr;
  QToolButton* SpeedButton_RIC_AddPixel = nullptr;
  QToolButton* SpeedButton_RIC_AddLine = nullptr;
  QToolButton* SpeedButton_RIC_AddNumBox = nullptr;
  QToolButton* SpeedButton_RIC_AddCircle = nullptr;
  QToolButton* SpeedButton_RIC_AddEllipse = nullptr;
  QToolButton* SpeedButton_RIC_AddPolygon = nullptr;
  QToolButton* SpeedButton_RIC_AddRectangle = nullptr;
  QToolButton* SpeedButton_RIC_AddVarMap = nullptr;
  QToolButton* SpeedButton_RIC_Delete = nullptr;
  QToolButton* SpeedButton_RIC_Double = nullptr;
  QToolButton* SpeedButton_RIC_MoveUp = nullptr;
  QToolButton* SpeedButton_RIC_MoveDown = nullptr;
  QToolButton* SpeedButton_RIC_Undo = nullptr;
  QToolButton* SpeedButton_RIC_Redo = nullptr;
  QToolButton* SpeedButton_Preview = nullptr;
  QToolButton* SpeedButton2 = nullptr;

  QStackedWidget* PageControl_Edit = nullptr;
  QWidget* TabSheet_Edit_Empty = nullptr;
  QWidget* TabSheet_Edit_Information = nullptr;
  TSpritePage* TabSheet_Edit_Sprite = nullptr;
  TVarMapPage* TabSheet_Edit_VarMap = nullptr;
  TCopyBitsPage* TabSheet_Edit_CopyBits = nullptr;
  TPolygonPage* TabSheet_Edit_Polygon = nullptr;
  QWidget* TabSheet_Edit_Preview = nullptr;

  THoldingSpinEdit* SpinEdit_Information_Options = nullptr;
  THoldingSpinEdit* SpinEdit_Information_Width = nullptr;
  THoldingSpinEdit* SpinEdit_Information_Height = nullptr;

  TNxtImage* Image_Preview = nullptr;

  QGroupBox* GroupBox_Param = nullptr;
  std::array<QFrame*, 21> Panel_Param{};
  std::array<QLabel*, 21> Label_Param{};
  std::array<QSpinBox*, 21> SpinEdit_Param{};
  QScrollBar* ScrollBar_Param = nullptr;
  QToolButton* SpeedButton_Preview_ParamLoad = nullptr;
  QToolButton* SpeedButton_Preview_ParamSave = nullptr;
  QToolButton* SpeedButton_Preview_ParamNew = nullptr;
  QToolButton* SpeedButton_Param256 = nullptr;
  QToolButton* SpeedButton_Param16 = nullptr;
  QSpinBox* SpinEdit_PreView_PosX = nullptr;
  QSpinBox* SpinEdit_PreView_PosY = nullptr;
  TPreviewAnimation* Animation_PreView = nullptr;
  QComboBox* ComboBox_PreView_DisplayMode = nullptr;
  QComboBox* ComboBox_PreView_BrickSource = nullptr;  // "Drawn from: file / array"
  // The text a font RIC draws in the enhanced modes.
  QLineEdit* Edit_PreView_Text = nullptr;
  // "Brick: 3 problems" in the status bar, opening the list of checks.
  QToolButton* Button_BrickChecks = nullptr;
  QWidget* Window_BrickChecks = nullptr;
  QListWidget* List_BrickChecks = nullptr;
  QComboBox* ComboBox_Status_DisplayMode = nullptr;  // the display mode, always in the status bar
  QLabel* Label_BrickChecksNone = nullptr;           // "No problems for ..." when the list is empty

  std::array<QLabel*, 8> StatusPanel{};

  QMenu* Menu_File_Recent = nullptr;
  QMenu* Menu_View = nullptr;
  QMenu* Menu_Edit_Sprite = nullptr;
  QMenu* Menu_Edit_VarMap = nullptr;
  QAction* Menu_File_ModifyRICFile = nullptr;
  QAction* Menue_File_PreviewRICfile = nullptr;
  QAction* Menu_File_Settings_Paramter_16Standard = nullptr;
  QAction* Menu_File_Settings_Paramter_256Orwick = nullptr;
  QAction* Menu_Edit_Undo = nullptr;
  QAction* Menu_Edit_Redo = nullptr;
  QAction* Menu_Edit_SpriteSeparator = nullptr;
  // Delete, Double, Move Up and Move Down of Edit > Element list.
  QList<QAction*> elementListActions_;
  std::array<QAction*, kDisplayModes.size()> Menu_View_DisplayMode{};

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Inserts pasted elements after the selection as one step.
  bool InsertPasted(RICElementList&& list);
  // Layout, one builder per area.
  // The menus, from one table of their entries.
  void BuildMenus();
  // The element list's right-click menu.
  void BuildListMenu();
  // True when Cut, Copy and Paste act on the sprite rather than on the element list.
  bool ClipboardOnSprite() const;
  void BuildStatusBar();
  void BuildNavigationPages(QWidget* client);
  void BuildOutputPanel(QWidget* client);
  void BuildParameterPanel(QWidget* client);
  void BuildEditPages(QWidget* client);
  QWidget* NewEditPage(const char* name, const QString& header);
  void BuildShapePages();
  void BuildInformationPage();
  void BuildPreviewPage();
  TNxtImage* NewScreenImage(QWidget* page, const char* name);
  QToolButton* NewSpeedButton(QWidget* parent, const char* name, const QString& icon,
                              const QString& hint, int left, int top, int width = 25,
                              int height = 25);
  // The areas follow the client area's size: the left column keeps its width
  // and the page area takes the rest; the pages' pictures grow and shrink by
  // whole zoom steps.
  void ArrangeClient(QSize size);
  void ArrangeNavigationPages();
  void ArrangeParameterPanel();
  // The parameter rows the preview mode's panel has room for (at most 21).
  int PreviewRows() const;
  // Shows "View", "&Sprite" and "VarMap" as the selected element's kind asks; hides them without
  // one.
  void ShowKindMenus(const TRICElement* e);

  // Pages
  void ShowElementPage(int index);
  TNxtImage* ShapeImage(RICElementKind kind) const;
  void SpinEdit_Information_OptionsChange(const QString& field);
  void PaintDisplayInto(TNxtImage* image);

  // Parameters
  void SpinEdit_ParamChange(int row);
  void SetParamPanelFocus(int row);
  void RenderPreview();
  void Image_PreviewMouse(int mx, int my);
  // The preview's position changed: enters preview mode, or redraws its picture.
  void MovePreview();
  // Sets the swept parameters to their values at `frame` and redraws.
  void ShowAnimationFrame(const std::vector<ParameterSweep>& sweeps, int frame);

  // Brick modes (Tavlin_main_Brick.cpp).
  void BuildDisplayModeControls();
  // The document's bytes as they will be written: encoded once per refresh
  // pass (BrickPass) and at every use outside one.
  const std::vector<std::uint8_t>& BrickBytes();
  class BrickPass {
   public:
    explicit BrickPass(TForm_Tavlin& window) : window_(window) { ++window_.brickPasses_; }
    ~BrickPass() {
      if (--window_.brickPasses_ == 0) window_.brickBytesKept_ = false;
    }
    BrickPass(const BrickPass&) = delete;
    BrickPass& operator=(const BrickPass&) = delete;

   private:
    TForm_Tavlin& window_;
  };
  // The call the views make: the firmware, the parameters the panel passes
  // (16 or 256), the position; the preview's text for a font RIC.
  BrickCall BrickCallAt(int x, int y, bool withText) const;
  // Draws the document (or the ops a page shows) as the brick would.
  void RenderBrickInto(NXTDisplay& display, const std::vector<std::uint8_t>& bytes,
                       const BrickCall& call);
  // The selected element's op with the sprites and VarMaps before it.
  std::vector<std::uint8_t> BrickBytesOfElement(int index);
  void UpdateBrickChecks(const BrickCall& call);
  void ListBrickChecks();  // fills the checks' list from brickFindings_ unless it holds them

  // Moves the selected element to `target`, the element there taking its place.
  void MoveSelectedElement(int target);
  // Selects and shows the element at `index` (none when it is out of range)
  // after the document changed under the selection.
  void ShowChangedDocument(int index);
  // A step name with the kind of the element at `index`: "Delete Line".
  std::string StepName(const char* verb, int index) const;
  // Modify mode with element 0 selected, after a document was opened or imported.
  void ShowLoadedDocument();
  // Reads a script into the document, showing progress; the user may cancel,
  // and a cancelled or failed reading leaves the document as it was.
  bool ImportRicScriptFile(const QString& path);
  // A RIC file read whole, with what the reader passed over.
  struct ReadFile {
    RICElementList list;
    std::vector<std::string> notes;
    std::size_t passedOver = 0;
  };
  std::optional<ReadFile> ReadRicDocument(const QString& path);
  // Reports a failed command to the user.
  void ShowFailure(const QString& what);
  // Asks for the file and writes the document there as program source.
  void ExportSource(SourceLanguage language, NxcStyle style = NxcStyle::Macros);
  // Puts a file just opened or saved first in File > Open Recent.
  void NoteRecentFile(const QString& path);
  void FillRecentMenu(const std::vector<std::string>& paths);
  // "Saved letters.ric" in the file name's panel for a moment.
  void ShowSavedMessage();
  // Before Save writes over its file: asks when the file changed on disk or
  // was not read completely.
  enum class SaveOver { Write, SaveAs, Stop };
  SaveOver AskBeforeSavingOver();
  // Opens a recovery copy as a modified document belonging to its file.
  bool RestoreRecoveryCopy(const RecoveryCopy& copy);
  void BuildDiskWatch();

  // TEditorHost
  UserDialogs& Dialogs() override { return dialogs_; }
  bool EditEventsEnabled() const override { return editEventsEnabled_; }
  void SetEditEventsEnabled(bool enabled) override { editEventsEnabled_ = enabled; }
  QMenu* ViewMenu() const override { return Menu_View; }
  QMenu* SpriteMenu() const override { return Menu_Edit_Sprite; }
  QMenu* VarMapMenu() const override { return Menu_Edit_VarMap; }
  QAction* UndoAction() const override { return Menu_Edit_Undo; }
  // Renders the selected element alone into a page's enlarged screen.
  void RedrawShapeImage();

  int selectedIndex_ = 0;
  TRICElement* selectedElement_ = nullptr;
  bool editEventsEnabled_ = false;
  bool panelUpdating_ = false;
  QString currentFileName_;
  NXTDisplay workDisplay_;
  // The shape pages by kind (null for the kinds with other pages).
  std::array<TShapePage*, kElementKindCount> shapePages_{};
  int pendingRefresh_ = 0;
  bool refreshPosted_ = false;
  int documentRenders_ = 0;
  // The order of the list when a drag over it began (element objects).
  std::vector<const TRICElement*> dragStartOrder_;
  UserDialogs& dialogs_;
  std::unique_ptr<RICDocument> document_;
  // The document's announcements, which the list, the output and the status
  // bar follow; it goes before the document.
  std::unique_ptr<TDocumentSignals> documentSignals_;
  // The document's elements and preview parameters, as most commands read them.
  RICElementList& ElementList() const { return document_->ElementList(); }
  PreviewParameters& Params() const { return document_->Parameters(); }
  TForm_Tavlin_Info* aboutBox_ = nullptr;
  bool dragging_ = false;
  QString lastMergeFile_;  // the merge dialog keeps the name it had last
  int parameterCount_ = 256;
  // What Save as proposes while the document has no file name (an imported script's name).
  QString proposedFileName_;
  std::string recentListFile_;      // the list of File > Open Recent, in the user's config folder
  QTimer* savedMessage_ = nullptr;  // ends "Saved ..." in the status bar
  // The shape and preview pages' enlarged screens.
  QList<TScreenLayout*> screens_;
  // Controls at the foot of the Information page, with their tops at the default size.
  QList<std::pair<QWidget*, int>> informationControls_;
  // The client area's height beyond the default size, negative when smaller.
  int extraHeight_ = 0;
  // Highlights the parameter row being edited; it calls into the window, so it goes first.
  QObject* paramFocusFilter_ = nullptr;
  QMenu* listMenu_ = nullptr;
  DisplayMode displayMode_ = DisplayMode::TavlinPreview;
  BrickSource brickSource_ = BrickSource::File;
  std::vector<BrickFinding> brickFindings_;  // shown: none in the editor's own preview
  // The last check and what it was made of: a pass that draws the same bytes
  // for the same call (a drag on a page, a repaint) does not check them again.
  std::vector<BrickFinding> checkedFindings_;
  std::vector<std::uint8_t> checkedBytes_;
  BrickCall checkedCall_;
  bool checkedValid_ = false;
  std::vector<std::uint8_t> brickBytes_;
  bool brickBytesKept_ = false;    // within a refresh pass
  bool brickChecksListed_ = true;  // the checks' list shows brickFindings_
  int brickPasses_ = 0;
  TDiskWatch* diskWatch_ = nullptr;
  TRecoveryKeeper* recovery_ = nullptr;
};

}  // namespace tavlin
