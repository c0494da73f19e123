// Proves the preview panel: which preview a focused row gets, the panel hidden and shown again, the text
// rows (count, shading, height limits), stretch and colour, the panel's width share, and a texture that
// cannot be shown.

#include <QAction>
#include <QListView>
#include <QScrollArea>
#include <QSplitter>
#include <QTreeView>
#include <QtTest>

#include "TestSupport.h"
#include "ui/DataListModel.h"
#include "ui/MainWindow.h"
#include "ui/PreviewPanel.h"

using namespace pw;
using pw::test::Bytes;

class PreviewTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TempDir> dir;
  std::unique_ptr<TfrmMain> window;
  QStringList errors;

  TPreviewPanel* Panel() { return window->Preview(); }
  QTreeView* List() { return window->findChild<QTreeView*>("vstDataList"); }
  QModelIndex Entry(int row) { return window->Model()->index(row, 0); }
  QModelIndex Res(int row, int child) { return window->Model()->index(child, 0, Entry(row)); }
  void Focus(const QModelIndex& index) { List()->setCurrentIndex(index); }

 private slots:
  void init() {
    dir = std::make_unique<test::TempDir>();
    window = std::make_unique<TfrmMain>();
    errors.clear();
    TWindowDialogs d = TWindowDialogs::Standard();
    d.Error = [this](QWidget*, const QString& t) { errors << t; };
    window->SetDialogs(d);
    window->resize(800, 600);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    std::string longWords;
    for (int i = 0; i < 4000; ++i) longWords += "word ";
    test::WriteArchive(
        *dir / "a.bin",
        {{test::TextureGroupOf({test::TextureOf(1, 1, 1, 16, 0x80), test::TextureOf(1, 2, 3, 128, 0x40)}), 0},
         {test::TextBlockOf({"one", "two", "three", "four", "five"}), 0},
         {test::TextBlockOf({"short", longWords}), 0},
         {test::TextureGroupOf({test::TextureOf(2, 1, 1, 16)}), 0},
         {test::TextureGroupOf({}), 0}});
    window->OpenFromCommandLine(QString::fromStdString(*dir / "a.bin"));
    QCOMPARE(window->Model()->rowCount(), 5);
  }
  void cleanup() {
    window.reset();
    dir.reset();
  }

  void focusingTextureRows() {
    Focus(Res(0, 1));
    QVERIFY(Panel()->ImageArea()->isVisible());
    QVERIFY(!Panel()->TextList()->isVisible());
    QCOMPARE(Panel()->Image()->Picture().size(), QSize(4, 8));
    Focus(Entry(0));
    QCOMPARE(Panel()->Image()->Picture().size(), QSize(2, 2));  // the entry row shows the first texture
    Focus(Entry(4));
    QVERIFY2(Panel()->Image()->Picture().isNull(), "a group without textures shows nothing");
    QVERIFY(errors.isEmpty());
  }

  void panelHiddenThenShown() {
    window->btnViewClick();
    QVERIFY(Panel()->isHidden());
    QVERIFY(!window->Option("nShowView")->isChecked());
    Focus(Res(0, 0));
    QVERIFY(Panel()->Image()->Picture().isNull());
    window->btnViewClick();
    QVERIFY(!Panel()->isHidden());
    QVERIFY2(Panel()->Image()->Picture().isNull(), "nothing until the focus moves");
    Focus(Res(0, 1));
    QVERIFY(!Panel()->Image()->Picture().isNull());
  }

  void textRowsAreShadedAlternately() {
    Focus(Res(1, 0));
    QListView* text = Panel()->TextList();
    QVERIFY(text->isVisible());
    QCOMPARE(text->model()->rowCount(), 5);
    QApplication::processEvents();
    const QImage shot = text->viewport()->grab().toImage();
    auto background = [&](int row) {
      const QRect r = text->visualRect(text->model()->index(row, 0));
      return shot.pixelColor(r.right() - 4, r.center().y());
    };
    QVERIFY(background(0) != background(1));
    QCOMPARE(background(1), background(3));
    QCOMPARE(background(0), background(2));
    QCOMPARE(background(0), background(4));
    Focus(Entry(1));
    QCOMPARE(text->model()->rowCount(), 5);  // the entry row shows its first non-empty table
  }

  void textRowHeightLimits() {
    QListView* text = Panel()->TextList();
    QFont tiny = text->font();
    tiny.setPixelSize(6);  // measured height below the 18-pixel minimum
    text->setFont(tiny);
    Focus(Res(2, 0));
    QApplication::processEvents();
    const int shortRow = text->visualRect(text->model()->index(0, 0)).height();
    const int longRow = text->visualRect(text->model()->index(1, 0)).height();
    QCOMPARE(shortRow, 18);
    QCOMPARE(longRow, window->height() / 2);
  }

  void stretchAndColour() {
    Focus(Res(0, 1));
    QCOMPARE(Panel()->Image()->PictureRect().size(), QSize(4, 8));
    Panel()->StretchAction()->setChecked(true);
    Panel()->nStretchImageClick();
    QApplication::processEvents();
    const QRect stretched = Panel()->Image()->PictureRect();
    const QSize view = Panel()->ImageArea()->viewport()->size();
    QVERIFY(stretched.height() == view.height() || stretched.width() == view.width());
    QVERIFY(std::abs(stretched.width() * 2 - stretched.height()) <= 1);  // the texture's aspect, rounded
    Panel()->ChooseColor = [](QWidget*) { return QColor(Qt::red); };
    Panel()->nViewColorClick();
    QCOMPARE(Panel()->Color(), QColor(Qt::red));
    Panel()->ChooseColor = [](QWidget*) { return QColor(); };
    Panel()->nViewColorClick();
    QCOMPARE(Panel()->Color(), QColor(Qt::red));  // cancelling changes nothing
  }

  void transparentColourIsTheBottomLeftPixel() {
    Focus(Res(0, 0));  // every texel of texture 1 has the same colour: all transparent
    const QImage& picture = Panel()->Image()->Picture();
    QCOMPARE(qAlpha(picture.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(picture.pixel(1, 1)), 0);
  }

  void textureThatCannotBeShown() {
    Focus(Res(3, 0));
    QCOMPARE(errors.size(), 1);
    QVERIFY(Panel()->ImageArea()->isVisible());
    QVERIFY(Panel()->Image()->Picture().isNull());
  }

  void panelWidthFollowsItsShare() {
    window->resize(600, 400);
    QApplication::processEvents();
    QSplitter* splitter = window->findChild<QSplitter*>("splView");
    const int total = splitter->width() - splitter->handleWidth();
    splitter->setSizes({total - 300, 300});
    window->splViewCanResize();
    QCOMPARE(Panel()->Tag(), 50);
    window->resize(800, 400);
    QApplication::processEvents();
    QCOMPARE(Panel()->width(), 400);
  }

  void roundingHalvesToEven() {
    QCOMPARE(RoundHalfEven(50.5), 50);
    QCOMPARE(RoundHalfEven(51.5), 52);
    QCOMPARE(RoundHalfEven(49.4), 49);
  }
};

QTEST_MAIN(PreviewTest)
#include "PreviewTest.moc"
