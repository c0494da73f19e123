#pragma once
// The preview panel beside the data list: the focused texture (decoded from a DDS export of its top level)
// or the focused text table (one wrapped row per string).

#include <QImage>
#include <QWidget>
#include <string>

#include "archive/DataList.h"

class QAbstractListModel;
class QAction;
class QGroupBox;
class QListView;
class QMenu;
class QScrollArea;

namespace pw {

// Draws a picture with colour-key transparency, at one texel per pixel or stretched to fit (aspect kept).
class TImageView : public QWidget {
  Q_OBJECT
 public:
  explicit TImageView(QWidget* parent = nullptr);
  // Shows image (a copy); its bottom-left pixel's colour becomes transparent. A null image clears.
  void SetPicture(const QImage& image);
  const QImage& Picture() const { return FPicture; }
  void SetStretch(bool stretch);
  bool Stretch() const { return FStretch; }
  // The rectangle the picture is drawn into, in widget coordinates.
  QRect PictureRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage FPicture;  // with the key colour made transparent
  bool FStretch = false;
};

class TTextTableModel;

class TPreviewPanel : public QWidget {
  Q_OBJECT
  // The settings file keeps the width share as pnlView's Tag.
  Q_PROPERTY(int Tag READ Tag WRITE SetTag)

 public:
  // list: the open-archive tables, read only. owner: the window whose client height limits text rows.
  TPreviewPanel(const TDataList& list, QWidget* owner, QWidget* parent = nullptr);

  // Hides both views and removes the picture and the text rows.
  void ClearViewPanel();
  // Shows the preview of entry (resource -1: the entry row), reading textures from archivePath.
  // entryHasRows tells whether the entry row has child rows in the list. Errors throw pw::Error; the
  // panel then stays cleared, with the image area shown empty.
  void ShowFor(const std::string& archivePath, int entry, int resource, bool entryHasRows);

  // The width share in percent (the panel's Tag).
  int Tag() const { return FTag; }
  void SetTag(int tag) { FTag = tag; }
  // Background colour of the image area.
  QColor Color() const;
  void SetColor(const QColor& color);

  QAction* StretchAction() const { return nStretchImage; }
  QAction* ColorAction() const { return nViewColor; }
  QScrollArea* ImageArea() const { return scbView; }
  TImageView* Image() const { return imgDds; }
  QListView* TextList() const { return vstText; }
  // Applies the Stretch check mark to the image.
  void nStretchImageClick();
  // Opens the colour dialog (starting on black) and applies the chosen colour.
  void nViewColorClick();
  // The colour dialog, replaceable by tests: returns an invalid colour when cancelled.
  std::function<QColor(QWidget*)> ChooseColor;

 private:
  void ShowTexturePreview(const std::string& archivePath, int entry, int resource);
  void ShowTextPreview(int entry, int resource);
  int FirstNonEmptyTextTable(const TFileInfo& entry) const;

  const TDataList& FList;
  QWidget* FOwner;
  int FTag = 50;
  QGroupBox* grpView;
  QScrollArea* scbView;
  TImageView* imgDds;
  QListView* vstText;
  TTextTableModel* FTextModel;
  QMenu* pmImage;
  QAction* nStretchImage;
  QAction* nViewColor;
};

// Rounds to the nearest integer, halves to even.
int RoundHalfEven(double value);

}  // namespace pw
