#include "ui/AboutForm.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/AboutLinks.h"

namespace pw {

namespace {

// A label that runs an action when clicked.
class TClickLabel : public QLabel {
 public:
  TClickLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
      : QLabel(text, parent), FOnClick(std::move(onClick)) {}

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && FOnClick) FOnClick();
  }

 private:
  std::function<void()> FOnClick;
};

QFont Smaller(QFont font, int points) {
  if (font.pointSize() > points) font.setPointSize(font.pointSize() - points);
  return font;
}

}  // namespace

QString TAboutForm::FileVersionText() {
  return QStringLiteral(PW_VERSION);
}

QString TAboutForm::DdsViewerVersion() {
  return QStringLiteral(PW_SQUISH_VERSION);
}

TAboutForm::TAboutForm(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName("AboutForm");
  setWindowTitle(tr("About"));
  setFixedSize(272, 305);
  FIco =
      QPixmap(QStringLiteral(":/icon.png")).scaled(256, 256, Qt::KeepAspectRatio, Qt::SmoothTransformation);

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(8, 8, 8, 8);
  grpMain = new QGroupBox(this);
  grpMain->setObjectName("grpMain");
  grpMain->setStyleSheet("QGroupBox { background: transparent; }");
  auto* main = new QVBoxLayout(grpMain);

  lblName = new QLabel(owner ? owner->window()->windowTitle() : QString(), grpMain);
  lblName->setObjectName("lblName");
  QFont nameFont = lblName->font();
  nameFont.setBold(true);
  nameFont.setPointSize(nameFont.pointSize() + 4);
  lblName->setFont(nameFont);
  lblName->setAlignment(Qt::AlignCenter);
  lblName->setWordWrap(true);
  main->addWidget(lblName);
  lblVersion = new QLabel(FileVersionText(), grpMain);
  lblVersion->setObjectName("lblVersion");
  lblVersion->setAlignment(Qt::AlignCenter);
  main->addWidget(lblVersion);
  auto* bevel = new QFrame(grpMain);
  bevel->setObjectName("Bevel1");
  bevel->setFrameShape(QFrame::HLine);
  bevel->setFrameShadow(QFrame::Sunken);
  main->addWidget(bevel);
  pnlAddInfo = new QWidget(grpMain);
  pnlAddInfo->setObjectName("pnlAddInfo");
  auto* info = new QVBoxLayout(pnlAddInfo);
  info->setContentsMargins(0, 0, 0, 0);
  info->setAlignment(Qt::AlignTop);
  main->addWidget(pnlAddInfo, 1);

  pnlDonate = new QWidget(grpMain);
  pnlDonate->setObjectName("pnlDonate");
  auto* donate = new QVBoxLayout(pnlDonate);
  auto* line = new QFrame(pnlDonate);
  line->setFrameShape(QFrame::HLine);
  donate->addWidget(line);
  auto toggle = [this] { lblDonateClick(); };
  auto* hint = new TClickLabel(tr("Click to copy ID to clipboard and go website"), pnlDonate, toggle);
  hint->setObjectName("lblHint");
  hint->setAlignment(Qt::AlignCenter);
  hint->setWordWrap(true);
  donate->addWidget(hint);
  auto* down = new TClickLabel(QStringLiteral("▼"), pnlDonate, toggle);
  down->setObjectName("lblArrowDown");
  down->setAlignment(Qt::AlignCenter);
  donate->addWidget(down);
  int wallets = 0;
  for (const about::TPaymentLink& p : about::kPayments) {
    if (*p.Identifier == '\0' || *p.ServicePage == '\0') continue;  // nothing to copy or open
    const QString id = QString::fromUtf8(p.Identifier), page = QString::fromUtf8(p.ServicePage);
    auto* wallet = new TClickLabel(QString::fromUtf8(p.Code), pnlDonate, [id, page] {
      QApplication::clipboard()->clear();
      QApplication::clipboard()->setText(id);
      QDesktopServices::openUrl(QUrl(page));
    });
    wallet->setToolTip(id);
    wallet->setCursor(Qt::PointingHandCursor);
    wallet->setAlignment(Qt::AlignCenter);
    donate->addWidget(wallet);
    ++wallets;
  }
  auto* up = new TClickLabel(QStringLiteral("▲"), pnlDonate, toggle);
  up->setObjectName("lblArrowUp");
  up->setAlignment(Qt::AlignCenter);
  donate->addWidget(up);
  pnlDonate->hide();
  main->addWidget(pnlDonate);

  auto* pnlLink = new QWidget(grpMain);
  pnlLink->setObjectName("pnlLink");
  auto* links = new QHBoxLayout(pnlLink);
  links->setContentsMargins(0, 0, 0, 0);
  links->addWidget(
      MakeLinkLabel(pnlLink, "lblMail", tr("Contact me"), QString::fromUtf8(about::kContactAddress), true));
  links->addStretch(1);
  lblDonate = new TClickLabel(tr("You wnat?"), pnlLink, toggle);
  lblDonate->setObjectName("lblDonate");
  lblDonate->setToolTip(tr("Why not! =)"));
  lblDonate->setCursor(Qt::UpArrowCursor);
  lblDonate->setVisible(wallets > 0);  // a panel with nothing to pay through is not offered
  links->addWidget(lblDonate);
  links->addStretch(1);
  lblYDisk =
      MakeLinkLabel(pnlLink, "lblYDisk", tr("Download"), QString::fromUtf8(about::kDownloadPage), false);
  links->addWidget(lblYDisk);
  main->addWidget(pnlLink);
  root->addWidget(grpMain, 1);

  auto* pnlButtons = new QWidget(this);
  pnlButtons->setObjectName("pnlButtons");
  auto* buttons = new QHBoxLayout(pnlButtons);
  buttons->setContentsMargins(0, 0, 0, 0);
  auto* btnOK = new QPushButton(tr("OK"), pnlButtons);
  btnOK->setObjectName("btnOK");
  btnOK->setDefault(true);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addStretch(1);
  buttons->addWidget(btnOK);
  buttons->addStretch(1);
  root->addWidget(pnlButtons);

  AddText(tr("DDS view by libsquish"), DdsViewerVersion(), QString::fromUtf8(about::kDdsLibraryPage));
  if (owner) move(owner->window()->frameGeometry().center() - rect().center());
}

QLabel* TAboutForm::MakeLinkLabel(QWidget* parent, const QString& name, const QString& caption,
                                  const QString& target, bool mail) {
  auto* label = new TClickLabel(caption, parent, [target, mail] {
    QDesktopServices::openUrl(QUrl(mail ? QStringLiteral("mailto:") + target : target));
  });
  label->setObjectName(name);
  label->setToolTip(target);
  label->setCursor(Qt::PointingHandCursor);
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, p.color(QPalette::Link));
  label->setPalette(p);
  label->setVisible(!target.isEmpty());
  return label;
}

void TAboutForm::AddText(const QString& aText, const QString& aLinkText, const QString& aLink) {
  auto* text = new QLabel(aText, pnlAddInfo);
  text->setAlignment(Qt::AlignCenter);
  text->setFont(Smaller(lblName->font(), 2));
  pnlAddInfo->layout()->addWidget(text);
  if (aLinkText.isEmpty()) return;
  QLabel* link;
  if (aLink.isEmpty()) {
    link = new QLabel(aLinkText, pnlAddInfo);
  } else {
    link = new TClickLabel(aLinkText, pnlAddInfo, [aLink] { QDesktopServices::openUrl(QUrl(aLink)); });
    link->setToolTip(aLink);
    link->setCursor(Qt::PointingHandCursor);
  }
  link->setAlignment(Qt::AlignCenter);
  link->setFont(Smaller(font(), 2));
  pnlAddInfo->layout()->addWidget(link);
}

void TAboutForm::lblDonateClick() {
  pnlDonate->setVisible(pnlDonate->isHidden());
  lblDonate->setCursor(pnlDonate->isHidden() ? Qt::UpArrowCursor : Qt::PointingHandCursor);
}

void TAboutForm::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  painter.setOpacity(FTag / 255.0);
  painter.drawPixmap((width() - FIco.width()) / 2, (height() - FIco.height()) / 2, FIco);
}

}  // namespace pw
