// Proves the settings file: what a first run writes and in which order, the maximised-window rule,
// LoadInfo read but never written, skipped unknown components and values, the file's own encoding kept,
// and a file that cannot be parsed reported and left unchanged.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QtTest>
#include <pugixml.hpp>

#include "TestSupport.h"
#include "settings/XmlDoc.h"
#include "ui/AboutForm.h"
#include "ui/MainWindow.h"
#include "ui/PreviewPanel.h"

using namespace pw;
using pw::test::Bytes;

class SettingsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TempDir> dir;
  QStringList errors;

  QString Cfg() { return QString::fromStdString(*dir / "packwright.cfg"); }
  TWindowDialogs Dialogs() {
    TWindowDialogs d = TWindowDialogs::Standard();
    d.Error = [this](QWidget*, const QString& t) { errors << t; };
    return d;
  }
  std::unique_ptr<TfrmMain> Window() { return std::make_unique<TfrmMain>(Cfg(), Dialogs()); }
  // The file as UTF-8 text, whatever its encoding.
  std::string Text() {
    pugi::xml_document doc;
    doc.load_file(Cfg().toStdString().c_str(), pugi::parse_default | pugi::parse_comments);
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_indent | pugi::format_no_declaration);
    return out.str();
  }
  pugi::xml_node Component(pugi::xml_document& doc, const char* name) {
    doc.load_file(Cfg().toStdString().c_str());
    return doc.child("Config").child("Components").child(name);
  }

 private slots:
  void init() {
    dir = std::make_unique<test::TempDir>();
    errors.clear();
  }
  void cleanup() { dir.reset(); }

  void firstRunWritesEveryComponentInOrder() {
    { auto w = Window(); }
    const Bytes bytes = test::ReadFileBytes(Cfg().toStdString());
    QVERIFY(bytes.size() > 4);
    QCOMPARE(bytes[0], uint8_t(0xFF));
    QCOMPARE(bytes[1], uint8_t(0xFE));
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    QVERIFY(text.startsWith("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"));
    pugi::xml_document doc;
    doc.load_file(Cfg().toStdString().c_str());
    QStringList names;
    for (pugi::xml_node n : doc.child("Config").child("Components").children()) names << n.name();
    QCOMPARE(names,
             (QStringList{"frmMain", "edtPath", "pnlView", "nStretchImage", "scbView", "nText", "nTextures",
                          "nBlockData", "nShowView", "nDefaultDir", "nWithExt", "nExtractRes", "nOnlyRes",
                          "nReplaceExisting", "nScanFolder", "nFindOnlyRes"}));
    QStringList frm;
    for (pugi::xml_attribute a : doc.child("Config").child("Components").child("frmMain").attributes())
      frm << a.name();
    QCOMPARE(frm, (QStringList{"Height", "Width", "Left", "Top", "WindowState"}));
    pugi::xml_node pnl = doc.child("Config").child("Components").child("pnlView");
    QCOMPARE(QString(pnl.attribute("Visible").value()), QString("True"));
    QCOMPARE(QString(pnl.attribute("Tag").value()), QString("50"));
    QCOMPARE(QString(doc.child("Config").child("Components").child("nWithExt").attribute("Checked").value()),
             QString("True"));
    QVERIFY2(text.contains("\n    <frmMain "), "two spaces per level");
    QVERIFY(errors.isEmpty());
  }

  void valuesSurviveARestart() {
    {
      auto w = Window();
      w->Option("nText")->setChecked(true);
      w->Option("nExtractRes")->setChecked(false);
      w->findChild<QLineEdit*>("edtPath")->setText("/some/archive.bin");
      w->Preview()->SetTag(30);
      w->Preview()->SetColor(QColor(10, 20, 30));
      w->resize(700, 500);
    }
    auto w = Window();
    QVERIFY(w->Option("nText")->isChecked());
    QVERIFY(!w->Option("nExtractRes")->isChecked());
    QVERIFY(!w->Option("nOnlyRes")->isEnabled());
    QCOMPARE(w->findChild<QLineEdit*>("edtPath")->text(), QString("/some/archive.bin"));
    QCOMPARE(w->LoadedPath(), QString());
    QCOMPARE(w->Preview()->Tag(), 30);
    QCOMPARE(w->Preview()->Color(), QColor(10, 20, 30));
    QCOMPARE(w->size(), QSize(700, 500));
  }

  void maximisedCloseKeepsTheNormalSize() {
    {
      auto w = Window();
      w->resize(640, 480);
    }
    {
      auto w = Window();
      w->resize(1000, 900);  // whatever size the maximised window has
      w->setWindowState(Qt::WindowMaximized);
    }
    pugi::xml_document doc;
    pugi::xml_node frm = Component(doc, "frmMain");
    QCOMPARE(QString(frm.attribute("Width").value()), QString("640"));
    QCOMPARE(QString(frm.attribute("Height").value()), QString("480"));
    QCOMPARE(QString(frm.attribute("WindowState").value()), QString("wsMaximized"));
    auto w = Window();
    QVERIFY(w->windowState() & Qt::WindowMaximized);
  }

  void loadInfoIsReadNeverWrittenAndSurvives() {
    test::WriteFileBytes(Cfg().toStdString(),
                         test::B("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<Config><Options><Textures LoadInfo=\"false\"/></Options>"
                                 "<!-- kept --><Components/></Config>"));
    {
      auto w = Window();
      QVERIFY(!w->LoadInfo());
    }
    const std::string text = Text();
    QVERIFY(text.find("LoadInfo=\"false\"") != std::string::npos);
    QVERIFY(text.find("<!-- kept -->") != std::string::npos);
    {
      auto w = Window();
      QVERIFY(!w->LoadInfo());
    }
    test::WriteFileBytes(Cfg().toStdString(),
                         test::B("<Config><Options><Textures LoadInfo=\"0\"/></Options></Config>"));
    {
      auto w = Window();
      QVERIFY(!w->LoadInfo());
    }
    test::WriteFileBytes(Cfg().toStdString(),
                         test::B("<Config><Options><Textures LoadInfo=\"maybe\"/></Options></Config>"));
    {
      auto w = Window();
      QVERIFY(w->LoadInfo());
    }
    QCOMPARE(errors.first(), QString("'maybe' is not a valid boolean value"));
  }

  void loadInfoChangesTheListing() {
    Bytes big = test::TextureGroupOf({test::TextureOf(8, 8, 8, 65536), test::TextureOf(1, 2, 3, 128)});
    test::WriteArchive(*dir / "a.bin", {{big, 0, true}});
    test::WriteFileBytes(Cfg().toStdString(),
                         test::B("<Config><Options><Textures LoadInfo=\"False\"/></Options></Config>"));
    auto w = Window();
    w->OpenFromCommandLine(QString::fromStdString(*dir / "a.bin"));
    QCOMPARE(w->DataList().TexDataList.size(), size_t(2));
    QCOMPARE(w->DataList().TexDataList[1].Format, 0u);  // only the first chunk was read
  }

  void unknownComponentsAndBadValuesAreSkipped() {
    test::WriteFileBytes(
        Cfg().toStdString(),
        test::B("<Config><Components><nobody Width=\"3\"/>"
                "<scbView Color=\"clRed\"/><pnlView Tag=\"x\" Visible=\"False\"/>"
                "<nText Checked=\"TRUE\" Bogus=\"1\"/><frmMain Width=\"611\"/></Components></Config>"));
    auto w = Window();
    QVERIFY(errors.isEmpty());
    QVERIFY(w->Option("nText")->isChecked());
    QVERIFY(w->Preview()->isHidden());
    QVERIFY(!w->Option("nShowView")->isChecked());
    QCOMPARE(w->Preview()->Tag(), 50);
    QCOMPARE(w->width(), 611);
  }

  void utf8FileStaysUtf8() {
    test::WriteFileBytes(Cfg().toStdString(),
                         test::B("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Config><Components>"
                                 "<edtPath Text=\"/daten/übersetzung.bin\"/></Components></Config>\n"));
    {
      auto w = Window();
      QCOMPARE(w->findChild<QLineEdit*>("edtPath")->text(), QString("/daten/übersetzung.bin"));
    }
    const Bytes bytes = test::ReadFileBytes(Cfg().toStdString());
    const std::string text(bytes.begin(), bytes.end());
    QVERIFY(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0) == 0);
    QVERIFY(text.find("übersetzung") != std::string::npos);
    QVERIFY(text.find("<nFindOnlyRes Checked=\"True\"") != std::string::npos);
  }

  void unparseableFileIsReportedAndLeftUnchanged() {
    const Bytes broken = test::B("<Config><Components><frmMain Width=\"1\"></Config>");
    test::WriteFileBytes(Cfg().toStdString(), broken);
    { auto w = Window(); }
    QCOMPARE(errors.size(), 2);  // at start and at exit
    QVERIFY(errors.first().contains("cannot be read"));
    QCOMPARE(test::ReadFileBytes(Cfg().toStdString()), broken);
  }

  void aboutBox() {
    TfrmMain main;
    TAboutForm about(&main);
    QCOMPARE(about.objectName(), QString("AboutForm"));
    QCOMPARE(about.windowTitle(), QString("About"));
    QCOMPARE(about.findChild<QLabel*>("lblName")->text(), QString("Vexor Packwright (Test Version)"));
    QCOMPARE(about.findChild<QLabel*>("lblVersion")->text().count('.'), 3);
    QVERIFY(about.findChild<QWidget*>("pnlDonate")->isHidden());
    QVERIFY(about.findChild<QLabel*>("lblMail")->isHidden());  // no address given: not shown
    bool namesLibrary = false;
    for (QLabel* l : about.findChildren<QLabel*>())
      if (l->text().contains("libsquish")) namesLibrary = true;
    QVERIFY(namesLibrary);
  }
};

QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
