#include "ui/PreviewPanel.h"

#include <QAbstractListModel>
#include <QAction>
#include <QColorDialog>
#include <QGroupBox>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <cmath>

#include "archive/Payload.h"
#include "formats/Dds.h"
#include "formats/TextureGroup.h"
#include "platform/Stream.h"
#include "ui/DdsImage.h"

namespace pw {

int RoundHalfEven(double value) {
  return static_cast<int>(std::nearbyint(value));
}

// ---- TImageView ----

TImageView::TImageView(QWidget* parent) : QWidget(parent) {}

void TImageView::SetPicture(const QImage& image) {
  if (image.isNull()) {
    FPicture = QImage();
  } else {
    FPicture = image.convertToFormat(QImage::Format_ARGB32);
    // Colour-key transparency: every pixel of exactly the bottom-left pixel's colour shows the background;
    // the texture's own alpha is not blended.
    const QRgb key = FPicture.pixel(0, FPicture.height() - 1);
    for (int y = 0; y < FPicture.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(FPicture.scanLine(y));
      for (int x = 0; x < FPicture.width(); ++x)
        line[x] = line[x] == key ? qRgba(0, 0, 0, 0) : (line[x] | 0xFF000000u);
    }
  }
  if (!FStretch) resize(FPicture.isNull() ? QSize(0, 0) : FPicture.size());
  update();
}

void TImageView::SetStretch(bool stretch) {
  FStretch = stretch;
  if (!FStretch) resize(FPicture.isNull() ? QSize(0, 0) : FPicture.size());
  update();
}

QRect TImageView::PictureRect() const {
  if (FPicture.isNull()) return {};
  if (!FStretch) return QRect(QPoint(0, 0), FPicture.size());
  QSize fitted = FPicture.size().scaled(size(), Qt::KeepAspectRatio);
  return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

void TImageView::paintEvent(QPaintEvent*) {
  if (FPicture.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(PictureRect(), FPicture);
}

// ---- text rows ----

class TTextTableModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;
  void SetTable(const TTextTable* table) {
    beginResetModel();
    FTable = table;
    endResetModel();
  }
  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() || !FTable ? 0 : static_cast<int>(FTable->size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!FTable || role != Qt::DisplayRole || index.row() >= rowCount()) return {};
    const std::u16string& s = (*FTable)[static_cast<size_t>(index.row())];
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
  }

 private:
  const TTextTable* FTable = nullptr;
};

namespace {

constexpr int kMinTextRowHeight = 18;
constexpr int kTextMargin = 2;

// Wrapped rows of measured heights, odd rows shaded, with grid lines.
class TTextRowDelegate : public QStyledItemDelegate {
 public:
  TTextRowDelegate(QWidget* owner, QListView* view) : QStyledItemDelegate(view), FOwner(owner), FView(view) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const int width = FView->viewport()->width();
    const QFontMetrics metrics(FView->font());
    const QRect bounds = metrics.boundingRect(QRect(0, 0, std::max(1, width - 2 * kTextMargin), 1 << 20),
                                              Qt::TextWordWrap, index.data().toString());
    const int pointSize = std::max(0, FView->font().pointSize());
    int height = bounds.height() + pointSize * 2 / 3;
    const int limit = FOwner->height() / 2;
    if (height < kMinTextRowHeight)
      height = kMinTextRowHeight;
    else if (height > limit)
      height = limit;
    (void)option;
    return QSize(width, height);
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    painter->save();
    if (index.row() % 2 == 1) painter->fillRect(option.rect, option.palette.color(QPalette::AlternateBase));
    if (option.state & QStyle::State_Selected) painter->fillRect(option.rect, option.palette.highlight());
    painter->setPen(option.state & QStyle::State_Selected ? option.palette.highlightedText().color()
                                                          : option.palette.text().color());
    painter->setClipRect(option.rect);
    painter->drawText(option.rect.adjusted(kTextMargin, 1, -kTextMargin, -1), Qt::TextWordWrap | Qt::AlignTop,
                      index.data().toString());
    painter->setPen(option.palette.color(QPalette::Mid));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->restore();
  }

 private:
  QWidget* FOwner;
  QListView* FView;
};

}  // namespace

// ---- TPreviewPanel ----

TPreviewPanel::TPreviewPanel(const TDataList& list, QWidget* owner, QWidget* parent)
    : QWidget(parent), FList(list), FOwner(owner) {
  setObjectName("pnlView");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  grpView = new QGroupBox(tr("View"), this);
  grpView->setObjectName("grpView");
  layout->addWidget(grpView);
  auto* inner = new QVBoxLayout(grpView);
  inner->setContentsMargins(6, 6, 6, 6);

  scbView = new QScrollArea(grpView);
  scbView->setObjectName("scbView");
  scbView->setFrameShape(QFrame::NoFrame);
  scbView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scbView->setBackgroundRole(QPalette::Window);
  imgDds = new TImageView;
  imgDds->setObjectName("imgDds");
  scbView->setWidget(imgDds);
  scbView->setContextMenuPolicy(Qt::CustomContextMenu);
  imgDds->setContextMenuPolicy(Qt::CustomContextMenu);
  inner->addWidget(scbView);

  vstText = new QListView(grpView);
  vstText->setObjectName("vstText");
  vstText->setWordWrap(true);
  vstText->setUniformItemSizes(false);
  vstText->setResizeMode(QListView::Adjust);
  vstText->setEditTriggers(QAbstractItemView::NoEditTriggers);
  vstText->setSelectionBehavior(QAbstractItemView::SelectRows);
  vstText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  FTextModel = new TTextTableModel(vstText);
  vstText->setModel(FTextModel);
  vstText->setItemDelegate(new TTextRowDelegate(owner, vstText));
  inner->addWidget(vstText);

  pmImage = new QMenu(this);
  pmImage->setObjectName("pmImage");
  nStretchImage = pmImage->addAction(tr("Stretch"));
  nStretchImage->setObjectName("nStretchImage");
  nStretchImage->setCheckable(true);
  pmImage->addSeparator();
  nViewColor = pmImage->addAction(tr("Color"));
  nViewColor->setObjectName("nViewColor");
  connect(nStretchImage, &QAction::triggered, this, [this] { nStretchImageClick(); });
  connect(nViewColor, &QAction::triggered, this, [this] { nViewColorClick(); });
  auto popup = [this](QWidget* source) {
    return [this, source](const QPoint& pos) { pmImage->popup(source->mapToGlobal(pos)); };
  };
  connect(scbView, &QWidget::customContextMenuRequested, this, popup(scbView));
  connect(imgDds, &QWidget::customContextMenuRequested, this, popup(imgDds));

  ChooseColor = [](QWidget* parentWindow) {
    return QColorDialog::getColor(Qt::black, parentWindow);  // starts on black, not on the current colour
  };
  ClearViewPanel();
}

QColor TPreviewPanel::Color() const {
  return scbView->palette().color(QPalette::Window);
}

void TPreviewPanel::SetColor(const QColor& color) {
  QPalette p = scbView->palette();
  p.setColor(QPalette::Window, color);
  scbView->setPalette(p);
  scbView->setAutoFillBackground(true);
  scbView->viewport()->setPalette(p);
  scbView->viewport()->setAutoFillBackground(true);
}

void TPreviewPanel::ClearViewPanel() {
  scbView->hide();
  imgDds->SetPicture(QImage());
  vstText->hide();
  FTextModel->SetTable(nullptr);
}

void TPreviewPanel::nStretchImageClick() {
  const bool stretch = nStretchImage->isChecked();
  // Stretched, the image fills the scroll area; unstretched it keeps the texture's own size and scrolls.
  scbView->setWidgetResizable(stretch);
  imgDds->SetStretch(stretch);
}

void TPreviewPanel::nViewColorClick() {
  const QColor chosen = ChooseColor(FOwner);
  if (chosen.isValid()) SetColor(chosen);
}

void TPreviewPanel::ShowFor(const std::string& archivePath, int entry, int resource, bool entryHasRows) {
  const TFileInfo& info = FList.FileInfoList.at(static_cast<size_t>(entry));
  switch (info.FileType) {
    case ftBlockData:
    case ftText:
    case ftTextGroup:
      if (resource >= 0 || entryHasRows) {
        vstText->show();
        ShowTextPreview(entry, resource);
      }
      break;
    case ftTexture:
      scbView->show();
      ShowTexturePreview(archivePath, entry, resource);
      break;
    default:
      break;
  }
}

void TPreviewPanel::ShowTexturePreview(const std::string& archivePath, int entry, int resource) {
  const TFileInfo& info = FList.FileInfoList[static_cast<size_t>(entry)];
  TMemoryStream group;
  {
    // A fresh handle for every preview, released before decoding.
    TFileStream archive(archivePath, TFileMode::OpenRead);
    archive.Seek(info.DataInfo.Offset);
    ExtractEntryData(info.DataInfo, archive, &group);
  }
  const TTextureTable table = ReadGroupTable(group);
  const size_t index = resource >= 0 ? static_cast<size_t>(resource) : 0;
  if (index >= table.Offsets.size()) return;  // a group without textures shows nothing
  group.Seek(int64_t(table.TableBase) + table.Offsets[index]);
  TMemoryStream dds;
  ExportTextureToDds(group, dds, 0);
  imgDds->SetPicture(DecodeDdsTopLevel(dds.Bytes()));
}

int TPreviewPanel::FirstNonEmptyTextTable(const TFileInfo& entry) const {
  for (const TResInfo& r : entry.ResInfo)
    if (static_cast<size_t>(r.DataIndex) < FList.TextDataList.size() &&
        !FList.TextDataList[r.DataIndex].empty())
      return r.DataIndex;
  return -1;
}

void TPreviewPanel::ShowTextPreview(int entry, int resource) {
  const TFileInfo& info = FList.FileInfoList[static_cast<size_t>(entry)];
  const int table =
      resource >= 0 ? info.ResInfo.at(static_cast<size_t>(resource)).DataIndex : FirstNonEmptyTextTable(info);
  FTextModel->SetTable(table >= 0 ? &FList.TextDataList.at(static_cast<size_t>(table)) : nullptr);
}

}  // namespace pw
