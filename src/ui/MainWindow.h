#pragma once
// TfrmMain: the program's window. The path box opens an archive, the data list shows it, the preview panel
// shows the focused texture or text table, and the buttons unpack and repack through the core.

#include <QWidget>
#include <functional>
#include <string>

#include "archive/DataList.h"
#include "archive/Progress.h"
#include "archive/Unpacker.h"

class QAction;
class QGroupBox;
class QLineEdit;
class QMenu;
class QModelIndex;
class QProgressBar;
class QSplitter;
class QToolButton;
class QTreeView;

namespace pw {

class TDataListModel;
class TPreviewPanel;

// The dialogs and message boxes the window uses, replaceable by tests.
struct TWindowDialogs {
  std::function<void(QWidget*, const QString&)> Information;         // OK box
  std::function<void(QWidget*, const QString&)> Error;               // the error report
  std::function<QString(QWidget*, const QString& filter)> OpenFile;  // "" when cancelled
  std::function<QString(QWidget*)> ChooseFolder;                     // "" when cancelled
  std::function<QString(QWidget*)> SaveFile;                         // "" when cancelled
  // The toolkit's real dialogs.
  static TWindowDialogs Standard();
};

class TfrmMain : public QWidget, public TProgress {
  Q_OBJECT
 public:
  // settingsPath: the settings file read now and written when the window is destroyed ("" for none).
  explicit TfrmMain(const QString& settingsPath = QString(),
                    TWindowDialogs dialogs = TWindowDialogs::Standard(), QWidget* parent = nullptr);
  ~TfrmMain() override;

  // Replaces the dialogs (tests).
  void SetDialogs(TWindowDialogs dialogs) { FDialogs = std::move(dialogs); }

  // TProgress: the caption of grpPath and the bar pbMain.
  void ProcessingWork(const std::string& caption, uint32_t stepCount) override;
  void StepIt() override;

  // Reads (read true) or writes the settings file.
  void Options(bool read);
  // The settings file beside the program: its path with the extension ".cfg".
  static QString DefaultSettingsPath();

  // Puts path into the path box and opens it, as Enter would.
  void OpenFromCommandLine(const QString& path);

  // Commands of the window (also used by tests).
  void edtPathKeyDown();  // Enter in the path box: open the archive (with the fallback to the previous one)
  void btnPathClick();
  void edtPathExit();
  void btnUnpackClick();
  void btnPackClick();
  void btnViewClick();
  void btnHelpClick();
  void nFilterClick();
  void nCheckClick(int tag);
  void nReplaceWathClick();
  void nClearAllPathClick();
  void nExtractResClick();
  void nScanFolderClick();
  void nShowViewClick();
  // The data list's focus moved: the preview follows.
  void vstDataListFocusChanged(const QModelIndex& current);
  // The splitter moved: the panel's share of the window becomes its Tag.
  void splViewCanResize();
  // Sets the panel's width from its Tag and the window's width.
  void ApplyPanelWidth();

  // State the tests look at.
  const TDataList& DataList() const { return FDataList; }
  TDataList& DataList() { return FDataList; }
  const QString& LoadedPath() const { return FLoadedPath; }
  const std::string& DefaultFolder() const { return FDefaultFolder; }
  bool LoadInfo() const { return FLoadInfo; }
  void SetLoadInfo(bool value) { FLoadInfo = value; }
  TDataListModel* Model() const { return FModel; }
  TPreviewPanel* Preview() const { return FPreview; }
  QString ProgressCaption() const;
  bool ProgressVisible() const;
  // The option item named name (nText, nWithExt, ...).
  QAction* Option(const char* name) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildLayout();
  void BuildMenus();
  QAction* AddOption(QMenu* menu, const char* name, const char* caption, bool checked);
  bool IsChecked(const char* actionName) const;
  TUnpackOptions UnpackOptions() const;
  QString DisplayPath(const std::string& path) const;
  // Runs a core command, showing its error in the error report.
  void RunGuarded(const std::function<void()>& command);

  TDataList FDataList;
  std::string FDefaultFolder;
  bool FLoadInfo = true;
  QString FLoadedPath;
  TWindowDialogs FDialogs;
  bool FPlaced = false;
  QString FSettingsPath;

  QGroupBox* grpPath;
  QProgressBar* pbMain;
  QLineEdit* edtPath;
  QToolButton* btnPath;
  QGroupBox* grpResult;
  QTreeView* vstDataList;
  QSplitter* splView;
  QWidget* pnlButtons;
  QToolButton* btnHelp;
  QToolButton* btnView;
  QToolButton* btnUnpack;
  QToolButton* btnPack;
  QMenu* pmView;
  QMenu* pmUnpack;
  QMenu* pmRepack;
  QMenu* pmResult;
  TDataListModel* FModel;
  TPreviewPanel* FPreview;
};

}  // namespace pw
