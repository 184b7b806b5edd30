// The editor keeps the user's work when files are not what they seem: a
// damaged or foreign file, a file changed on disk by someone else, a crash or
// a logout, a name that asks for a script, a file named that is not there.
// Driven through the real window, every question answered by script.
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <fstream>
#include <memory>

#include "DiskWatch.h"
#include "Document.h"
#include "DrawGrid.h"
#include "FileIO.h"
#include "QuitSignals.h"
#include "Recovery.h"
#include "RecoveryKeeper.h"
#include "RicFile.h"
#include "RicScript.h"
#include "ScriptedDialogs.h"
#include "Tavlin_main.h"
#include "Version.h"

using namespace tavlin;

namespace {

// A Pixel and a Line, 26 bytes.
const std::string kTwoElements(
    "\x0A\x00\x04\x00\x00\x00\x01\x00\x02\x00\x00\x00"
    "\x0C\x00\x05\x00\x00\x00\x00\x00\x00\x00\x0A\x00\x0A\x00",
    26);

std::string Bytes(const QString& path) {
  std::vector<std::uint8_t> b = ReadFileBytes(path.toStdString(), 1 << 20);
  return std::string(b.begin(), b.end());
}

}  // namespace

class FileTrustTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  std::unique_ptr<ScriptedDialogs> dialogs_;
  std::unique_ptr<TForm_Tavlin> w_;
  template <class T>
  T* Find(const QString& name) {
    return FindChild<T>(w_.get(), name);
  }
  // The window's document, its elements and preview parameters.
  RICDocument& Doc() { return w_->Document(); }
  RICElementList& ElementList() { return w_->Document().ElementList(); }
  PreviewParameters& Params() { return w_->Document().Parameters(); }

  QString Path(const QString& name) const { return dir_.filePath(name); }
  QString Title(const QString& name) const { return name + " - " + kProgramVersionText; }
  void Click(const char* button) {
    auto* b = w_->findChild<QToolButton*>(button);
    QVERIFY2(b, button);
    QTest::mouseClick(b, Qt::LeftButton);
  }
  void Trigger(const char* action) { w_->findChild<QAction*>(action)->trigger(); }
  void WriteFile(const QString& name, const std::string& bytes) {
    std::ofstream(Path(name).toStdString(), std::ios::binary | std::ios::trunc) << bytes;
  }
  // The window comes to the front, as when the user clicks it.
  void Activate() {
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(w_.get(), &activate);
  }
  QToolBar* Bar() { return w_->findChild<QToolBar*>("Bar_DiskChange"); }
  QString BarText() { return w_->findChild<QLabel*>("Label_DiskChange")->text(); }
  std::string Folder() const { return w_->Recovery()->Folder(); }
  bool CopyKept() const {
    return QFileInfo::exists(
        QString::fromStdString(Folder() + "/" + w_->Recovery()->Name() + ".info"));
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QDir::setCurrent(dir_.path());
    qputenv("XDG_STATE_HOME", Path("state").toLocal8Bit());
  }
  void init() {
    dialogs_ = std::make_unique<ScriptedDialogs>();
    w_ = StartEditor(*dialogs_);
    w_->Recovery()->SetDelay(100);
  }
  void cleanup() {
    if (w_) Doc().MarkSaved();
    w_.reset();
    QVERIFY2(dialogs_->answers.empty() && dialogs_->choices.empty(), "unused answers");
    QVERIFY2(dialogs_->files.empty(), "unused file answers");
    QDir(Path("state")).removeRecursively();
  }

  // --- Damaged and foreign files ----------------------------------------------

  // A file of which nothing could be read is refused as a failed open is.
  void aFileWithNothingReadableIsRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("text") << QByteArray("two lines\nof text\n");
    QTest::newRow("zero words") << QByteArray(6, '\0');
    QTest::newRow("one byte") << QByteArray("x");
  }
  void aFileWithNothingReadableIsRefused() {
    QFETCH(QByteArray, bytes);
    WriteFile("notes.ric", bytes.toStdString());
    Click("SpeedButton_RIC_AddLine");
    QVERIFY(!w_->OpenRicFile(Path("notes.ric")));
    QCOMPARE(dialogs_->errors.size(), 1);
    QVERIFY2(dialogs_->errors[0].startsWith(Path("notes.ric") +
                                            ": nothing in the file could be read as a RIC picture"),
             qPrintable(dialogs_->errors[0]));
    QCOMPARE(ElementList().Count(), 1);
    QVERIFY(w_->Modified());
    QCOMPARE(w_->CurrentFileName(), QString());
    QCOMPARE(Bytes(Path("notes.ric")), bytes.toStdString());
  }

  // A file read in part says so in the title, and Save asks before it writes
  // over what was not read.
  void aFileReadInPartAsksBeforeSave() {
    const std::string cut = kTwoElements.substr(0, 20);  // the Line is cut: 8 bytes passed over
    WriteFile("cut.ric", cut);
    QVERIFY(w_->OpenRicFile(Path("cut.ric")));
    QCOMPARE(dialogs_->warnings.size(), 1);
    QCOMPARE(w_->windowTitle(), Title("cut.ric (not read completely)"));
    const QString question =
        "cut.ric was not read completely (8 bytes passed over). Saving replaces it with what "
        "was read.";
    dialogs_->choices = {2};  // Cancel
    Trigger("Menu_File_Save");
    QCOMPARE(dialogs_->questions, QStringList{question});
    QCOMPARE(dialogs_->choiceButtons, QStringList{"Save As*/Overwrite/Cancel"});
    QCOMPARE(Bytes(Path("cut.ric")), cut);
    dialogs_->choices = {0};  // Save As
    dialogs_->files.push_back(Path("whole.ric"));
    Trigger("Menu_File_Save");
    QCOMPARE(Bytes(Path("whole.ric")), cut.substr(0, 12));
    QCOMPARE(Bytes(Path("cut.ric")), cut);
    QCOMPARE(w_->windowTitle(), Title("whole.ric"));
    // Overwrite writes what was read, and the file is then whole.
    QVERIFY(w_->OpenRicFile(Path("cut.ric")));
    dialogs_->choices = {1};
    Trigger("Menu_File_Save");
    QCOMPARE(Bytes(Path("cut.ric")), cut.substr(0, 12));
    QCOMPARE(w_->windowTitle(), Title("cut.ric"));
    Trigger("Menu_File_Save");  // no question now
    QCOMPARE(dialogs_->questions.size(), 3);
  }

  // --- Changes made on disk ---------------------------------------------------

  void aChangeOnDiskShowsTheBarAndSaveAsks_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("text");
    QTest::newRow("rewritten") << "rewritten"
                               << "on.ric was changed on disk since it was opened or last saved.";
    QTest::newRow("renamed over")
        << "renamed over"
        << "on.ric was replaced on disk since it was opened or last saved.";
    QTest::newRow("deleted") << "deleted"
                             << "on.ric was deleted on disk since it was opened or last saved.";
  }
  void aChangeOnDiskShowsTheBarAndSaveAsks() {
    QFETCH(QString, how);
    QFETCH(QString, text);
    WriteFile("on.ric", kTwoElements.substr(0, 12));
    QVERIFY(w_->OpenRicFile(Path("on.ric")));
    Activate();
    QVERIFY(Bar()->isHidden());
    const std::string theirs = kTwoElements;
    if (how == "rewritten") {
      WriteFile("on.ric", theirs);
    } else if (how == "renamed over") {
      WriteFile("theirs.ric", theirs);
      QVERIFY(::rename(qPrintable(Path("theirs.ric")), qPrintable(Path("on.ric"))) == 0);
    } else {
      QVERIFY(QFile::remove(Path("on.ric")));
    }
    Activate();
    QVERIFY(!Bar()->isHidden());
    QCOMPARE(BarText(), text);
    QCOMPARE(w_->findChild<QToolButton*>("Button_DiskChange_Reload")->isVisibleTo(Bar()),
             how != "deleted");
    Click("Button_DiskChange_Dismiss");
    Activate();  // told once
    QVERIFY(Bar()->isHidden());
    // Save asks, and Cancel keeps their file.
    Click("SpeedButton_RIC_AddCircle");
    dialogs_->choices = {2};
    Trigger("Menu_File_Save");
    QVERIFY(dialogs_->questions.value(0).startsWith(text + "\n"));
    QCOMPARE(dialogs_->choiceButtons, QStringList{"Overwrite/Save As*/Cancel"});
    QCOMPARE(QFileInfo::exists(Path("on.ric")), how != "deleted");
    if (how != "deleted") QCOMPARE(Bytes(Path("on.ric")), theirs);
    QVERIFY(w_->Modified());
    // Overwrite writes, and the next Save asks no more.
    dialogs_->choices = {0};
    Trigger("Menu_File_Save");
    QCOMPARE(Bytes(Path("on.ric")).size(), std::size_t(12 + 12));
    Trigger("Menu_File_Save");
    QCOMPARE(dialogs_->questions.size(), 2);
  }

  // Reload asks about unsaved changes first and is one step Undo takes back.
  void reloadIsOneStepThatUndoTakesBack() {
    WriteFile("on.ric", kTwoElements.substr(0, 12));
    QVERIFY(w_->OpenRicFile(Path("on.ric")));
    Click("SpeedButton_RIC_AddCircle");
    WriteFile("on.ric", kTwoElements);
    Activate();
    dialogs_->answers = {false};  // keep the changes
    Click("Button_DiskChange_Reload");
    QCOMPARE(ElementList().Count(), 2);
    QCOMPARE(ElementList()[1]->Kind, RICElementKind::Circle);
    QVERIFY(dialogs_->questions.value(0).startsWith("on.ric has unsaved changes."));
    dialogs_->answers = {true};
    QVERIFY(w_->ReloadFromDisk());
    QCOMPARE(ElementList().Count(), 2);
    QCOMPARE(ElementList()[1]->Kind, RICElementKind::Line);
    QVERIFY(!w_->Modified());
    QCOMPARE(w_->windowTitle(), Title("on.ric"));
    Click("SpeedButton_RIC_Undo");
    QCOMPARE(ElementList()[1]->Kind, RICElementKind::Circle);
    QVERIFY(w_->Modified());
    Trigger("Menu_File_Save");  // the reloaded file is the one known: no question
    QCOMPARE(Bytes(Path("on.ric")).size(), std::size_t(12 + 12));
  }

  // --- Save As by the name's extension ----------------------------------------

  void saveAsWritesWhatTheNameSays_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("script");
    QTest::newRow("rs") << "pic.rs"
                        << "pic.rs" << true;
    QTest::newRow("RS") << "pic.RS"
                        << "pic.RS" << true;
    QTest::newRow("ric") << "pic.ric"
                         << "pic.ric" << false;
    QTest::newRow("none") << "pic"
                          << "pic.ric" << false;
    QTest::newRow("other") << "pic.png"
                           << "pic.png.ric" << false;
  }
  void saveAsWritesWhatTheNameSays() {
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(bool, script);
    QDir(Path("as")).removeRecursively();
    QDir().mkpath(Path("as"));
    WriteFile("as/doc.ric", kTwoElements);
    QVERIFY(w_->OpenRicFile(Path("as/doc.ric")));
    Click("SpeedButton_RIC_AddCircle");
    dialogs_->files.push_back(Path("as/" + chosen));
    Trigger("Menu_File_SaveAs");
    QCOMPARE(QDir(Path("as")).entryList(QDir::Files).size(), 2);
    const std::string path = Path("as/" + written).toStdString();
    const RICElementList read = script ? LoadRicScript(path) : LoadRicFile(path);
    QCOMPARE(read.Count(), 3);
    QCOMPARE(read[2]->Kind, RICElementKind::Circle);
    // A script is a copy: the document still belongs to its RIC file, unsaved.
    QCOMPARE(w_->windowTitle(), script ? Title("doc.ric*") : Title(written));
    QCOMPARE(Bytes(Path("as/doc.ric")), kTwoElements);
  }

  // A name that gets ".ric" is the one asked about.
  void theNameWithItsExtensionIsAskedAbout() {
    WriteFile("taken.ric", kTwoElements);
    WriteFile("taken", "not ours");
    Click("SpeedButton_RIC_AddCircle");
    dialogs_->files = {Path("taken"), std::nullopt};
    dialogs_->answers = {false};
    Trigger("Menu_File_SaveAs");
    QCOMPARE(dialogs_->questions,
             QStringList("taken.ric already exists.\nDo you want to replace it?"));
    QCOMPARE(Bytes(Path("taken.ric")), kTwoElements);
    QCOMPARE(Bytes(Path("taken")), std::string("not ours"));
  }

  // --- Files named that are not there ------------------------------------------

  // A save that could not keep an attribute of the old file says so, and an
  // imported script's notes are all shown, where it stopped first.
  void savesAndImportsShowEveryWarning() {
    WriteFile("tagged.ric", kTwoElements);
    const QByteArray tagged = QFile::encodeName(Path("tagged.ric"));
    if (::setxattr(tagged.constData(), "user.origin", "camera", 6, 0) != 0)
      QSKIP("the file system refuses user attributes");
    QVERIFY(w_->OpenRicFile(Path("tagged.ric")));
    Click("SpeedButton_RIC_AddLine");
    FileCalls().fsetxattr = [](int, const char*, const void*, std::size_t, int) {
      errno = EOPNOTSUPP;
      return -1;
    };
    Trigger("Menu_File_Save");
    FileCalls() = SystemFileCalls();
    QCOMPARE(dialogs_->warnings.size(), 1);
    QVERIFY(dialogs_->warnings[0].contains("saved without its extended attributes 'user.origin'"));
    QVERIFY(!w_->Modified());

    WriteFile("cut.rs", "sprite(1, 1,\n " + std::string(1030, '1') + ")\nnothing\n");
    QVERIFY(w_->OpenRicFile(Path("cut.rs")));
    QCOMPARE(dialogs_->warnings.size(), 2);
    const QStringList notes = dialogs_->warnings[1].split('\n');
    QCOMPARE(notes.size(), 2);
    QVERIFY(notes[0].endsWith(QString::fromStdString(std::string(kScriptStopNoteEnd))));
    QVERIFY(notes[1].contains("a sprite row of 1030 pixels is wider than the canvas"));
  }

  void aMissingFileOrAFolderIsSaidToBeSo() {
    QDir().mkpath(Path("folder.ric"));
    Click("SpeedButton_RIC_AddLine");
    QVERIFY(!w_->OpenRicFile(Path("missing.ric")));
    QVERIFY(!w_->OpenRicFile(Path("folder.ric")));
    QCOMPARE(dialogs_->errors, QStringList({Path("missing.ric") + ": File not found",
                                            Path("folder.ric") + ": Is a folder, not a file"}));
    QCOMPARE(ElementList().Count(), 1);
  }

  // --- Recovery copies ----------------------------------------------------------

  // A copy follows changes, waits for a drag to end, and goes with a save.
  void unsavedWorkIsCopiedAfterChangesAndNotDuringADrag() {
    QVERIFY(!Folder().empty());
    Click("SpeedButton_RIC_AddLine");
    QTRY_VERIFY_WITH_TIMEOUT(CopyKept(), 3000);
    const std::string ric = Folder() + "/" + w_->Recovery()->Name() + ".ric";
    const std::vector<std::uint8_t> first = EncodeRic(ElementList());
    QCOMPARE(ReadFileBytes(ric, 1 << 20), first);
    // A button held down: no copy until it is released.
    QWidget* grid = Find<TDrawGrid>("DrawGrid_RIC")->viewport();
    QTest::mousePress(grid, Qt::LeftButton, {}, QPoint(5, 5));
    Doc().Add(MakeCircle(0, 1, 2, 3), "Add Circle");
    w_->ShowHistoryState();
    QTest::qWait(600);
    QCOMPARE(ReadFileBytes(ric, 1 << 20), first);
    QTest::mouseRelease(grid, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_COMPARE_WITH_TIMEOUT(ReadFileBytes(ric, 1 << 20), EncodeRic(ElementList()), 3000);
    dialogs_->files.push_back(Path("kept.ric"));
    Trigger("Menu_File_Save");
    QVERIFY(!CopyKept());
    // A clean close removes it too.
    Click("SpeedButton_RIC_AddLine");
    QTRY_VERIFY_WITH_TIMEOUT(CopyKept(), 3000);
    dialogs_->saveAnswers = {SaveAnswer::No};
    QVERIFY(w_->close());
    QVERIFY(!CopyKept());
  }

  // SIGTERM: the handler only wakes the loop, which writes the copy at once.
  void aTermSignalWritesTheCopyAtOnce() {
    int signalled = 0;
    TQuitSignals quit([&](int number) {
      signalled = number;
      w_->WriteRecoveryNow();
    });
    QVERIFY(quit.Installed());
    w_->Recovery()->SetDelay(60000);
    Click("SpeedButton_RIC_AddLine");
    QVERIFY(!CopyKept());
    QVERIFY(::raise(SIGTERM) == 0);
    QTRY_COMPARE_WITH_TIMEOUT(signalled, SIGTERM, 3000);
    QVERIFY(CopyKept());
  }

  // Each copy of an editor that ended is offered: Restore opens it as unsaved
  // work of its file, which stays as it is; Discard removes it; Later keeps it.
  void copiesLeftByAnEndedEditorAreOffered() {
    WriteFile("lost.ric", kTwoElements.substr(0, 12));
    RecoveryCopy copy;
    copy.pid = 1;  // a process that runs, but not the one that wrote these
    copy.process = "another boot:1";
    copy.fileName = Path("lost.ric").toStdString();
    copy.stamp = StampOf(copy.fileName);
    for (const char* name : {"tavlin-1-a", "tavlin-1-b", "tavlin-1-c"}) {
      copy.name = name;
      WriteRecoveryCopy(Folder(), copy,
                        std::vector<std::uint8_t>(kTwoElements.begin(), kTwoElements.end()));
    }
    dialogs_->choices = {1, 0, 2};  // Discard, Restore, Later
    w_->OfferRecoveryCopies();
    QCOMPARE(dialogs_->questions.size(), 3);
    QVERIFY2(dialogs_->questions[0].startsWith("Unsaved changes to " + Path("lost.ric")),
             qPrintable(dialogs_->questions[0]));
    QCOMPARE(dialogs_->choiceButtons.value(0), QString("Restore*/Discard/Later"));
    QCOMPARE(ElementList().Count(), 2);
    QVERIFY(w_->Modified());
    QCOMPARE(w_->CurrentFileName(), Path("lost.ric"));
    QCOMPARE(Bytes(Path("lost.ric")), kTwoElements.substr(0, 12));
    QStringList left;
    for (const RecoveryCopy& found : FindRecoveryCopies(Folder()))
      left << QString::fromStdString(found.name);
    QCOMPARE(left, QStringList{"tavlin-1-c"});
    QVERIFY(CopyKept());  // this editor's own copy holds the restored work
    // The file as the ended editor knew it: Save writes without a question.
    Trigger("Menu_File_Save");
    QCOMPARE(Bytes(Path("lost.ric")), kTwoElements);
    QVERIFY(!CopyKept());
  }
};

QTEST_MAIN(FileTrustTest)
#include "filetrust_test.moc"
