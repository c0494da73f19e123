#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "archive/DefaultFolder.h"
#include "archive/Repacker.h"
#include "archive/Unpacker.h"
#include "platform/FileSystem.h"
#include "ui/AboutForm.h"
#include "ui/DataListModel.h"
#include "ui/PathFit.h"
#include "ui/PreviewPanel.h"

// The icon lives in this static library's resources, which must be registered before first use.
static void InitUiResources() {
  Q_INIT_RESOURCE(resources);
}

namespace pw {

namespace {

const char* const kCaption = "Vexor Packwright (Test Version)";
constexpr int kColumnWidths[] = {100, 175, 100, 80};

// Draws the list's grid lines under and beside each cell.
class TGridDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), 20);
  }
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(option.palette.color(QPalette::Midlight));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->restore();
  }
};

// Holds a widget's repainting off for the lifetime of the bracket.
class TUpdateBracket {
 public:
  explicit TUpdateBracket(QWidget* widget) : FWidget(widget) { FWidget->setUpdatesEnabled(false); }
  ~TUpdateBracket() { FWidget->setUpdatesEnabled(true); }

 private:
  QWidget* FWidget;
};

}  // namespace

TWindowDialogs TWindowDialogs::Standard() {
  TWindowDialogs d;
  d.Information = [](QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QString::fromLatin1(kCaption), text, QMessageBox::Ok);
  };
  d.Error = [](QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QString::fromLatin1(kCaption), text, QMessageBox::Ok);
  };
  d.OpenFile = [](QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, {}, {}, filter);
  };
  d.ChooseFolder = [](QWidget* parent) { return QFileDialog::getExistingDirectory(parent); };
  d.SaveFile = [](QWidget* parent) {
    return QFileDialog::getSaveFileName(parent, {}, {}, QStringLiteral("All files (*)"), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
  };
  return d;
}

TfrmMain::TfrmMain(const QString& settingsPath, TWindowDialogs dialogs, QWidget* parent)
    : QWidget(parent), FDialogs(std::move(dialogs)), FSettingsPath(settingsPath) {
  InitUiResources();
  setObjectName("frmMain");
  setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
  setWindowTitle(QString::fromLatin1(kCaption));
  BuildLayout();
  BuildMenus();
  // The design size is small for today's lists; a larger start that the settings file then overrides.
  resize(960, 600);
  Options(true);
  ClearDataList(FDataList);
}

void TfrmMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (FPlaced) return;
  FPlaced = true;
  // Centred on the screen's work area at the first showing, whatever position was restored.
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  ApplyPanelWidth();
}

TfrmMain::~TfrmMain() {
  FModel->SetEntryCount(0);  // the views let go of their rows before the tables are emptied
  FPreview->ClearViewPanel();
  ClearDataList(FDataList);
  Options(false);
}

void TfrmMain::BuildLayout() {
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(8, 8, 8, 8);

  grpPath = new QGroupBox(tr("Data path"), this);
  grpPath->setObjectName("grpPath");
  auto* pathLayout = new QVBoxLayout(grpPath);
  pbMain = new QProgressBar(grpPath);
  pbMain->setObjectName("pbMain");
  pbMain->setTextVisible(false);
  pbMain->setMaximumHeight(10);
  pbMain->hide();
  pathLayout->addWidget(pbMain);
  auto* pathRow = new QHBoxLayout;
  edtPath = new QLineEdit(grpPath);
  edtPath->setObjectName("edtPath");
  edtPath->installEventFilter(this);
  btnPath = new QToolButton(grpPath);
  btnPath->setObjectName("btnPath");
  btnPath->setText("...");
  pathRow->addWidget(edtPath);
  pathRow->addWidget(btnPath);
  pathLayout->addLayout(pathRow);
  root->addWidget(grpPath);

  splView = new QSplitter(Qt::Horizontal, this);
  splView->setObjectName("splView");
  splView->setHandleWidth(8);
  splView->setChildrenCollapsible(false);
  grpResult = new QGroupBox(tr("Result"), splView);
  grpResult->setObjectName("grpResult");
  auto* resultLayout = new QVBoxLayout(grpResult);
  vstDataList = new QTreeView(grpResult);
  vstDataList->setObjectName("vstDataList");
  FModel = new TDataListModel(FDataList, this);
  FModel->SetPathText([this](const std::string& path) { return DisplayPath(path); });
  vstDataList->setModel(FModel);
  vstDataList->setUniformRowHeights(true);
  vstDataList->setItemDelegate(new TGridDelegate(vstDataList));
  vstDataList->setSelectionBehavior(QAbstractItemView::SelectRows);
  vstDataList->setAllColumnsShowFocus(true);
  vstDataList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  vstDataList->setExpandsOnDoubleClick(false);
  vstDataList->setContextMenuPolicy(Qt::CustomContextMenu);
  vstDataList->header()->setStretchLastSection(true);
  vstDataList->header()->setSectionsMovable(false);
  vstDataList->header()->setFixedHeight(24);
  for (int c = 0; c < 4; ++c) vstDataList->header()->resizeSection(c, kColumnWidths[c]);
  resultLayout->addWidget(vstDataList);
  FPreview = new TPreviewPanel(FDataList, this, splView);
  splView->addWidget(grpResult);
  splView->addWidget(FPreview);
  splView->setStretchFactor(0, 1);
  splView->setStretchFactor(1, 0);
  root->addWidget(splView, 1);

  pnlButtons = new QWidget(this);
  pnlButtons->setObjectName("pnlButtons");
  auto* buttons = new QHBoxLayout(pnlButtons);
  buttons->setContentsMargins(0, 0, 0, 0);
  auto makeButton = [this](const char* name, const QString& caption) {
    auto* b = new QToolButton(pnlButtons);
    b->setObjectName(name);
    b->setText(caption);
    b->setMinimumWidth(32);
    return b;
  };
  btnHelp = makeButton("btnHelp", "?");
  btnView = makeButton("btnView", tr("View"));
  btnUnpack = makeButton("btnUnpack", tr("Unpack"));
  btnPack = makeButton("btnPack", tr("Repack"));
  btnPack->setEnabled(false);
  buttons->addWidget(btnHelp);
  buttons->addStretch(1);
  for (QToolButton* b : {btnView, btnUnpack, btnPack}) {
    b->setPopupMode(QToolButton::MenuButtonPopup);
    b->setMinimumWidth(90);
    buttons->addWidget(b);
  }
  root->addWidget(pnlButtons);

  connect(edtPath, &QLineEdit::returnPressed, this, [this] { edtPathKeyDown(); });
  connect(btnPath, &QToolButton::clicked, this, [this] { btnPathClick(); });
  connect(btnUnpack, &QToolButton::clicked, this, [this] { btnUnpackClick(); });
  connect(btnPack, &QToolButton::clicked, this, [this] { btnPackClick(); });
  connect(btnView, &QToolButton::clicked, this, [this] { btnViewClick(); });
  connect(btnHelp, &QToolButton::clicked, this, [this] { btnHelpClick(); });
  connect(vstDataList, &QTreeView::doubleClicked, this, [this] { nReplaceWathClick(); });
  connect(vstDataList->header(), &QHeaderView::sectionResized, vstDataList->viewport(),
          qOverload<>(&QWidget::update));
  connect(vstDataList->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { vstDataListFocusChanged(current); });
  connect(FModel, &QAbstractItemModel::modelAboutToBeReset, this, [this] { FPreview->ClearViewPanel(); });
  connect(splView, &QSplitter::splitterMoved, this, [this] { splViewCanResize(); });
}

QAction* TfrmMain::AddOption(QMenu* menu, const char* name, const char* caption, bool checked) {
  QAction* action = menu->addAction(tr(caption));
  action->setObjectName(name);
  action->setCheckable(true);
  action->setChecked(checked);
  return action;
}

void TfrmMain::BuildMenus() {
  pmView = new QMenu(this);
  pmView->setObjectName("pmView");
  for (auto [name, caption] :
       {std::pair{"nText", "Text"}, {"nTextures", "Textures"}, {"nBlockData", "Block Data"}})
    connect(AddOption(pmView, name, caption, false), &QAction::triggered, this, [this] { nFilterClick(); });
  pmView->addSeparator();
  connect(AddOption(pmView, "nShowView", "Show View Panel", true), &QAction::triggered, this,
          [this] { nShowViewClick(); });
  btnView->setMenu(pmView);

  pmUnpack = new QMenu(this);
  pmUnpack->setObjectName("pmUnpack");
  AddOption(pmUnpack, "nDefaultDir", "Default Folder", false);
  QAction* withExt = AddOption(pmUnpack, "nWithExt", "With Extension", true);
  withExt->setToolTip(tr("Create extension from magic number of file"));
  withExt->setStatusTip(withExt->toolTip());
  pmUnpack->setToolTipsVisible(true);
  pmUnpack->addSeparator();
  connect(AddOption(pmUnpack, "nExtractRes", "Extract Resources", true), &QAction::triggered, this,
          [this] { nExtractResClick(); });
  AddOption(pmUnpack, "nOnlyRes", "Only Resources", true);
  pmUnpack->addSeparator();
  AddOption(pmUnpack, "nReplaceExisting", "Replace Existing", false);
  btnUnpack->setMenu(pmUnpack);

  pmRepack = new QMenu(this);
  pmRepack->setObjectName("pmRepack");
  connect(AddOption(pmRepack, "nScanFolder", "Scan Default Folder", true), &QAction::triggered, this,
          [this] { nScanFolderClick(); });
  AddOption(pmRepack, "nFindOnlyRes", "Find Only Res", true);
  btnPack->setMenu(pmRepack);

  pmResult = new QMenu(this);
  pmResult->setObjectName("pmResult");
  QAction* replace = pmResult->addAction(tr("Replace With..."));
  replace->setObjectName("nReplaceWath");
  connect(replace, &QAction::triggered, this, [this] { nReplaceWathClick(); });
  QAction* clear = pmResult->addAction(tr("Clear All Path"));
  clear->setObjectName("nClearAllPath");
  connect(clear, &QAction::triggered, this, [this] { nClearAllPathClick(); });
  pmResult->addSeparator();
  for (auto [name, caption, tag] : {std::tuple{"nCheckAll", "Check All", 1},
                                    {"nInvertCheck", "Inverse Check", 2},
                                    {"nUncheckAll", "Uncheck All", 3}}) {
    QAction* a = pmResult->addAction(tr(caption));
    a->setObjectName(name);
    a->setData(tag);
    connect(a, &QAction::triggered, this, [this, tag = tag] { nCheckClick(tag); });
  }
  connect(vstDataList, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { pmResult->popup(vstDataList->viewport()->mapToGlobal(pos)); });
}

bool TfrmMain::IsChecked(const char* actionName) const {
  const QAction* a = Option(actionName);
  return a && a->isChecked();
}

QAction* TfrmMain::Option(const char* actionName) const {
  return findChild<QAction*>(QString::fromLatin1(actionName));
}

// ---- progress ----

void TfrmMain::ProcessingWork(const std::string& caption, uint32_t stepCount) {
  grpPath->setTitle(QString::fromStdString(caption));
  pbMain->setVisible(stepCount != 0);
  if (stepCount == 0) return;
  // The one place a command lets the window paint: the new caption and the bar appear. Input waits for the
  // command's end, so no second command can start inside this one.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  pbMain->setValue(0);
  pbMain->setMaximum(static_cast<int>(std::min<uint32_t>(stepCount, INT32_MAX)));
}

void TfrmMain::StepIt() {
  const int before = pbMain->value();
  pbMain->setValue(before + 1);
  // The bar is drawn at once whenever its percentage changes, without running the event loop.
  const int maximum = std::max(1, pbMain->maximum());
  if (int64_t(before) * 100 / maximum != int64_t(before + 1) * 100 / maximum) pbMain->repaint();
}

QString TfrmMain::ProgressCaption() const {
  return grpPath->title();
}
bool TfrmMain::ProgressVisible() const {
  return !pbMain->isHidden();
}

// ---- commands ----

void TfrmMain::RunGuarded(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    FDialogs.Error(this, QString::fromUtf8(e.what()));
  }
}

void TfrmMain::edtPathKeyDown() {
  TUpdateBracket bracket(vstDataList);
  for (;;) {
    const QString text = edtPath->text();
    if (text.isEmpty() || text == FLoadedPath) return;
    FModel->SetEntryCount(0);
    FPreview->ClearViewPanel();
    int count = 0;
    try {
      count = CreateDataList(FDataList, text.toStdString(), *this, FLoadInfo);
    } catch (const std::exception& e) {
      // What was read before the error describes no archive as a whole: drop it, and keep Repack off so
      // that no archive is written from it. Enter on any path opens again.
      ClearDataList(FDataList);
      btnPack->setEnabled(false);
      FLoadedPath.clear();
      FDialogs.Error(this, QString::fromUtf8(e.what()));
      return;
    }
    btnPack->setEnabled(count > 0);
    if (count > 0) {
      FDefaultFolder = DefaultFolderOf(text.toStdString());
      if (IsChecked("nScanFolder"))
        ScanDefaultFolder(FDataList, FDefaultFolder, IsChecked("nFindOnlyRes"), *this);
      FModel->SetEntryCount(static_cast<size_t>(count));
      nFilterClick();
      FLoadedPath = text;
      return;
    }
    FDialogs.Information(this, count == -5 ? tr("File not found!") : tr("Data not found!"));
    edtPath->setText(FLoadedPath);
    FLoadedPath.clear();
    // With the loaded path now empty, the same steps open the previous archive again.
  }
}

void TfrmMain::OpenFromCommandLine(const QString& path) {
  edtPath->setText(path);
  edtPathKeyDown();
}

void TfrmMain::btnPathClick() {
  const QString path = FDialogs.OpenFile(this, QStringLiteral("All files (*)"));
  if (path.isEmpty()) return;
  edtPath->setText(path);
  edtPathKeyDown();
}

void TfrmMain::edtPathExit() {
  edtPath->setText(FLoadedPath);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edtPath && event->type() == QEvent::FocusOut) edtPathExit();
  return QWidget::eventFilter(watched, event);
}

TUnpackOptions TfrmMain::UnpackOptions() const {
  TUnpackOptions options;
  options.WithExt = IsChecked("nWithExt");
  options.ExtractRes = IsChecked("nExtractRes");
  options.OnlyRes = IsChecked("nOnlyRes");
  options.ReplaceExisting = IsChecked("nReplaceExisting");
  return options;
}

void TfrmMain::btnUnpackClick() {
  std::string folder;
  if (IsChecked("nDefaultDir")) {
    if (FDefaultFolder.empty() || !ForceDirectories(FDefaultFolder)) {
      FDialogs.Error(this, tr("Unable to create directory"));
      return;
    }
    folder = FDefaultFolder;
  } else {
    folder = FDialogs.ChooseFolder(this).toStdString();
    if (folder.empty()) return;
  }
  // The archive the tables describe: the loaded path (what the path box shows when not being edited).
  if (FLoadedPath.isEmpty()) return;
  RunGuarded([&] { Unpack(FDataList, FLoadedPath.toStdString(), folder, UnpackOptions(), *this); });
}

void TfrmMain::btnPackClick() {
  const QString target = FDialogs.SaveFile(this);
  if (target.isEmpty() || FLoadedPath.isEmpty()) return;
  RunGuarded([&] { Repack(FDataList, FLoadedPath.toStdString(), target.toStdString(), *this); });
}

void TfrmMain::btnViewClick() {
  QAction* show = Option("nShowView");
  show->setChecked(!show->isChecked());
  nShowViewClick();
}

void TfrmMain::btnHelpClick() {
  TAboutForm about(this);
  about.exec();
}

void TfrmMain::nExtractResClick() {
  Option("nOnlyRes")->setEnabled(IsChecked("nExtractRes"));
}

void TfrmMain::nScanFolderClick() {
  Option("nFindOnlyRes")->setEnabled(IsChecked("nScanFolder"));
}

void TfrmMain::nFilterClick() {
  TUpdateBracket bracket(vstDataList);
  FModel->SetFilter({IsChecked("nText"), IsChecked("nTextures"), IsChecked("nBlockData")});
  vstDataList->collapseAll();
}

void TfrmMain::nCheckClick(int tag) {
  ApplyCheckCommand(FDataList, FModel->Filter(), static_cast<TCheckCommand>(tag));
  FModel->ChecksChanged();
}

void TfrmMain::nReplaceWathClick() {
  const QModelIndex focused = vstDataList->currentIndex();
  if (!focused.isValid()) return;
  const int entry = FModel->EntryOf(focused), resource = FModel->ResourceOf(focused);
  TFileInfo& info = FDataList.FileInfoList[static_cast<size_t>(entry)];
  QString filter;
  if (resource < 0)
    filter = QStringLiteral("All files (*)");
  else if (info.FileType == ftBlockData || info.FileType == ftText || info.FileType == ftTextGroup)
    filter = QStringLiteral("CSV Files (*.csv);;TXT Files (*.txt);;All files (*)");
  else if (info.FileType == ftTexture)
    filter = QStringLiteral("DDS Files (*.dds);;All files (*)");
  const QString path = FDialogs.OpenFile(this, filter);
  if (path.isEmpty()) return;
  (resource < 0 ? info.ReplacePath : info.ResInfo[static_cast<size_t>(resource)].ReplacePath) =
      path.toStdString();
  FModel->PathsChanged();
}

void TfrmMain::nClearAllPathClick() {
  for (TFileInfo& e : FDataList.FileInfoList) {
    e.ReplacePath.clear();
    for (TResInfo& r : e.ResInfo) r.ReplacePath.clear();
  }
  FModel->PathsChanged();
}

QString TfrmMain::DisplayPath(const std::string& path) const {
  const QFontMetrics metrics(vstDataList->font());
  return DisplayReplacePath(
      QString::fromStdString(path), QString::fromStdString(FDefaultFolder),
      [&metrics](const QString& s) { return metrics.horizontalAdvance(s); },
      vstDataList->header()->sectionSize(colNewResPath) - 20);
}

// ---- preview panel ----

void TfrmMain::vstDataListFocusChanged(const QModelIndex& current) {
  FPreview->ClearViewPanel();
  if (FPreview->isHidden() || !current.isValid()) return;
  const int entry = FModel->EntryOf(current), resource = FModel->ResourceOf(current);
  const QModelIndex entryRow = resource < 0 ? current.siblingAtColumn(0) : current.parent();
  const bool hasRows = FModel->rowCount(entryRow) > 0;
  try {
    FPreview->ShowFor(FLoadedPath.toStdString(), entry, resource, hasRows);
  } catch (const std::exception& e) {
    FDialogs.Error(this, QString::fromUtf8(e.what()));
  }
}

void TfrmMain::nShowViewClick() {
  FPreview->setVisible(FPreview->isHidden());
  ApplyPanelWidth();
}

void TfrmMain::splViewCanResize() {
  const int client = width();
  if (client > 0) FPreview->SetTag(RoundHalfEven(100.0 * FPreview->width() / client));
}

void TfrmMain::ApplyPanelWidth() {
  if (FPreview->isHidden()) return;
  const int client = width();
  const int panel = RoundHalfEven(double(client) * FPreview->Tag() / 100.0);
  const int total = splView->width() - splView->handleWidth();
  splView->setSizes({std::max(0, total - panel), panel});
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ApplyPanelWidth();
}

}  // namespace pw
