#pragma once
// TAboutForm: the modal box with the program's name, version, icon, credits and links.

#include <QDialog>
#include <QPixmap>

class QGroupBox;
class QLabel;

namespace pw {

class TAboutForm : public QDialog {
  Q_OBJECT
 public:
  // Builds the box over owner, with the download link and the credits line the main window gives it.
  explicit TAboutForm(QWidget* owner);

  // Adds a credits line: aText, and below it a link labelled aLinkText to aLink (no link when aLink is "").
  void AddText(const QString& aText, const QString& aLinkText, const QString& aLink);
  // Shows the donation panel when hidden and hides it when shown.
  void lblDonateClick();

  // The program version as four numbers.
  static QString FileVersionText();
  // "1.3.0.%s"-style version text of the DDS decoding library in use.
  static QString DdsViewerVersion();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* MakeLinkLabel(QWidget* parent, const QString& name, const QString& caption, const QString& target,
                        bool mail);

  QPixmap FIco;
  int FTag = 50;  // opacity of the faint icon, of 255
  QGroupBox* grpMain;
  QLabel* lblName;
  QLabel* lblVersion;
  QWidget* pnlAddInfo;
  QWidget* pnlDonate;
  QLabel* lblDonate;
  QLabel* lblYDisk;
};

}  // namespace pw
