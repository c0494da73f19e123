// Proves the window's behaviour: opening with the fallback to the previous archive, the greyed option
// items, progress captions around each phase, the filter with the check commands, the block-data row rule,
// replacement paths and their shortening, unpack and repack from the buttons.

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include "TestSupport.h"
#include "archive/Payload.h"
#include "platform/FileSystem.h"
#include "ui/DataListModel.h"
#include "ui/MainWindow.h"
#include "ui/PathFit.h"

using namespace pw;
using pw::test::Bytes;

namespace {

Bytes AllEmptyBlockData() {
  Bytes out;
  test::AppendU32(out, 1);
  test::AppendU32(out, 12), test::AppendU32(out, 4);
  out.insert(out.end(), {0xFF, 0xFF, 0xFF, 0xFF});
  return out;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TempDir> dir;
  std::unique_ptr<TfrmMain> window;
  QStringList infos, errors;
  QString nextFile;

  QLineEdit* Path() { return window->findChild<QLineEdit*>("edtPath"); }
  QTreeView* List() { return window->findChild<QTreeView*>("vstDataList"); }
  QAction* Act(const char* name) { return window->findChild<QAction*>(name); }
  std::string P(const std::string& name) { return *dir / name; }
  void Enter(const QString& text) {
    Path()->setText(text);
    window->edtPathKeyDown();
  }
  // The archive used by most tests: text, block data (one empty table), all-empty block data, texture, _M1G.
  void WriteSample(const std::string& name) {
    test::WriteArchive(P(name), {{test::TextBlockOf({"a", "b"}), 0},
                                 {test::BlockDataWithBlob("m1"), 0},
                                 {AllEmptyBlockData(), 0},
                                 {test::TextureGroupOf({test::TextureOf(1, 1, 1, 16)}), 0},
                                 {test::PayloadWithMagic("_M1G", 20), 0}});
  }
  QStringList Rows() {
    QStringList rows;
    auto* m = window->Model();
    for (int r = 0; r < m->rowCount(); ++r) {
      const QModelIndex e = m->index(r, 0);
      rows << m->index(r, 1).data().toString() + (m->data(e, Qt::CheckStateRole).toInt() ? "+" : "");
      for (int c = 0; c < m->rowCount(e); ++c)
        rows << "  " + m->index(c, 0, e).data().toString() +
                    (m->data(m->index(c, 0, e), Qt::CheckStateRole).toInt() ? "+" : "");
    }
    return rows;
  }

 private slots:
  void init() {
    dir = std::make_unique<test::TempDir>();
    window = std::make_unique<TfrmMain>();
    infos.clear(), errors.clear();
    TWindowDialogs d;
    d.Information = [this](QWidget*, const QString& t) { infos << t; };
    d.Error = [this](QWidget*, const QString& t) { errors << t; };
    d.OpenFile = [this](QWidget*, const QString&) { return nextFile; };
    d.ChooseFolder = [this](QWidget*) { return nextFile; };
    d.SaveFile = [this](QWidget*) { return nextFile; };
    window->SetDialogs(d);
    window->show();
  }
  void cleanup() {
    window.reset();
    dir.reset();
  }

  void greyedItemsAtStartUp() {
    QVERIFY(!window->findChild<QWidget*>("btnPack")->isEnabled());
    QVERIFY(Act("nOnlyRes")->isEnabled());
    QVERIFY(Act("nFindOnlyRes")->isEnabled());
    Act("nExtractRes")->trigger();
    QVERIFY(!Act("nOnlyRes")->isEnabled());
    Act("nScanFolder")->trigger();
    QVERIFY(!Act("nFindOnlyRes")->isEnabled());
    Act("nScanFolder")->trigger();
    QVERIFY(Act("nFindOnlyRes")->isEnabled());
    const std::pair<const char*, bool> initial[] = {
        {"nText", false},       {"nTextures", false}, {"nBlockData", false},       {"nShowView", true},
        {"nDefaultDir", false}, {"nWithExt", true},   {"nReplaceExisting", false}, {"nFindOnlyRes", true}};
    for (auto [name, checked] : initial) QCOMPARE(Act(name)->isChecked(), checked);
    QCOMPARE(window->ProgressCaption(), QString("Data path"));
    QVERIFY(!window->ProgressVisible());
  }

  void openAndFallback() {
    WriteSample("a.bin");
    Enter(QString::fromStdString(P("a.bin")));
    QCOMPARE(window->LoadedPath(), QString::fromStdString(P("a.bin")));
    QVERIFY(window->findChild<QWidget*>("btnPack")->isEnabled());
    QCOMPARE(window->Model()->rowCount(), 5);
    QCOMPARE(window->DefaultFolder(), P("a_bin/"));

    // Enter on the loaded path does nothing: check marks set by hand survive.
    window->DataList().FileInfoList[0].Checked = true;
    Enter(QString::fromStdString(P("a.bin")));
    QVERIFY(window->DataList().FileInfoList[0].Checked);

    // A missing file: the message, then the previous archive again (hand-set marks are gone).
    Enter(QString::fromStdString(P("missing.bin")));
    QCOMPARE(infos, QStringList{"File not found!"});
    QCOMPARE(Path()->text(), QString::fromStdString(P("a.bin")));
    QCOMPARE(window->LoadedPath(), QString::fromStdString(P("a.bin")));
    QVERIFY(!window->DataList().FileInfoList[0].Checked);

    // An archive without entries: "Data not found!" and the same fallback.
    test::WriteArchive(P("empty.bin"), {});
    Enter(QString::fromStdString(P("empty.bin")));
    QCOMPARE(infos.last(), QString("Data not found!"));
    QCOMPARE(window->Model()->rowCount(), 5);

    // A failed fallback: the previous archive was deleted meanwhile.
    ::unlink(P("a.bin").c_str());
    infos.clear();
    Enter(QString::fromStdString(P("missing.bin")));
    QCOMPARE(infos, (QStringList{"File not found!", "File not found!"}));
    QCOMPARE(Path()->text(), QString());
    QCOMPARE(window->Model()->rowCount(), 0);
    QVERIFY(!window->findChild<QWidget*>("btnPack")->isEnabled());

    // Enter in an empty path box does nothing.
    Enter(QString());
    QCOMPARE(infos.size(), 2);
  }

  void firstOpenFailsAndReadErrorsAreReported() {
    Enter(QString::fromStdString(P("nothing.bin")));
    QCOMPARE(infos, QStringList{"File not found!"});
    QCOMPARE(Path()->text(), QString());
    test::WriteFileBytes(P("cut.bin"), Bytes(10, 1));
    Enter(QString::fromStdString(P("cut.bin")));
    QCOMPARE(errors, QStringList{"Stream read error"});
    QCOMPARE(window->ProgressCaption(), QString("Data path"));
    QVERIFY(!window->findChild<QWidget*>("btnPack")->isEnabled());
  }

  void leavingThePathBoxShowsTheLoadedPath() {
    WriteSample("a.bin");
    Enter(QString::fromStdString(P("a.bin")));
    Path()->setText("typed but not confirmed");
    window->edtPathExit();
    QCOMPARE(Path()->text(), QString::fromStdString(P("a.bin")));
  }

  void progressCaptionsAroundEachPhase() {
    WriteSample("a.bin");
    QStringList seen;
    QTimer probe;
    probe.setInterval(0);
    connect(&probe, &QTimer::timeout, this, [&] {
      const QString state = window->ProgressCaption() + (window->ProgressVisible() ? " [bar]" : "");
      if (seen.isEmpty() || seen.last() != state) seen << state;
    });
    probe.start();
    Enter(QString::fromStdString(P("a.bin")));
    QCOMPARE(seen, (QStringList{"Reading progress [bar]", "Scan default folder progress [bar]"}));
    QCOMPARE(window->ProgressCaption(), QString("Data path"));
    seen.clear();
    nextFile = QString::fromStdString(P("new.bin"));
    window->btnPackClick();
    QCOMPARE(seen, QStringList{"Repacking progress [bar]"});
    QCOMPARE(window->ProgressCaption(), QString("Data Path"));
    QVERIFY(!window->ProgressVisible());
    seen.clear();
    QVERIFY(ForceDirectories(P("out")));
    nextFile = QString::fromStdString(P("out"));
    window->btnUnpackClick();
    QCOMPARE(seen, QStringList{"Unpacking progress [bar]"});
    QCOMPARE(window->ProgressCaption(), QString("Data path"));
    QVERIFY(errors.isEmpty());
  }

  void filterAndCheckCommands() {
    WriteSample("a.bin");
    Enter(QString::fromStdString(P("a.bin")));
    QCOMPARE(Rows(), (QStringList{"Text", "  1", "Block Data", "  1", "Block Data", "Texture", "  1",
                                  "With ASCI magic (G1M_)"}));
    Act("nText")->trigger();
    QCOMPARE(Rows(), (QStringList{"Text", "  1"}));
    window->nCheckClick(1);
    QCOMPARE(Rows(), (QStringList{"Text+", "  1+"}));
    Act("nText")->trigger();
    QCOMPARE(Rows(), (QStringList{"Text+", "  1+", "Block Data", "  1", "Block Data", "Texture", "  1",
                                  "With ASCI magic (G1M_)"}));
    window->nCheckClick(2);
    QCOMPARE(Rows(), (QStringList{"Text", "  1", "Block Data+", "  1+", "Block Data+", "Texture+", "  1+",
                                  "With ASCI magic (G1M_)+"}));
    QVERIFY2(!window->DataList().FileInfoList[1].ResInfo[1].Checked,
             "the hidden empty table stays unchecked");
    window->nCheckClick(3);
    QVERIFY(!Rows().join("").contains('+'));
  }

  void checkBoxesWriteIntoTheTables() {
    WriteSample("a.bin");
    Enter(QString::fromStdString(P("a.bin")));
    auto* m = window->Model();
    QVERIFY(m->setData(m->index(3, 0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(window->DataList().FileInfoList[3].Checked);
    QVERIFY(m->setData(m->index(0, 0, m->index(3, 0)), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(window->DataList().FileInfoList[3].ResInfo[0].Checked);
  }

  void replaceWithAndClearAllPath() {
    WriteSample("a.bin");
    Enter(QString::fromStdString(P("a.bin")));
    nextFile = "/elsewhere/deep/folder/r.dds";
    window->nReplaceWathClick();  // no focused row: nothing happens
    QCOMPARE(window->DataList().FileInfoList[3].ResInfo[0].ReplacePath, std::string());
    auto* m = window->Model();
    List()->setCurrentIndex(m->index(0, 0, m->index(3, 0)));
    window->nReplaceWathClick();
    QCOMPARE(window->DataList().FileInfoList[3].ResInfo[0].ReplacePath,
             std::string("/elsewhere/deep/folder/r.dds"));
    nextFile = QString::fromStdString(P("a_bin/5.bin"));
    List()->setCurrentIndex(m->index(4, 0));
    window->nReplaceWathClick();
    QCOMPARE(m->index(4, 4).data().toString(), QString("5.bin"));  // a file directly in the default folder
    QCOMPARE(m->index(4, 4).data(Qt::ToolTipRole).toString(), QString::fromStdString(P("a_bin/5.bin")));
    window->nClearAllPathClick();
    QCOMPARE(window->DataList().FileInfoList[4].ReplacePath, std::string());
    QCOMPARE(window->DataList().FileInfoList[3].ResInfo[0].ReplacePath, std::string());
  }

  void scanFindsFilesInTheDefaultFolder() {
    WriteSample("a.bin");
    QVERIFY(ForceDirectories(P("A_BIN")));
    QVERIFY(ForceDirectories(P("a_bin")));
    test::WriteFileBytes(P("a_bin/1_1.csv"), {0xFF, 0xFE});
    test::WriteFileBytes(P("a_bin/5.bin"), {1});
    Enter(QString::fromStdString(P("a.bin")));
    QCOMPARE(window->DataList().FileInfoList[0].ResInfo[0].ReplacePath, P("a_bin/1_1.csv"));
    QCOMPARE(window->DataList().FileInfoList[4].ReplacePath, std::string());  // Find Only Res
  }

  void unpackToTheDefaultFolder() {
    Act("nDefaultDir")->trigger();
    window->btnUnpackClick();
    QCOMPARE(errors, QStringList{"Unable to create directory"});
    WriteSample("a.bin");
    Enter(QString::fromStdString(P("a.bin")));
    window->nCheckClick(1);
    window->btnUnpackClick();
    QVERIFY(FileExists(P("a_bin/1_1.csv")));
    QVERIFY(FileExists(P("a_bin/4_1.dds")));
    QVERIFY(!FileExists(P("a_bin/5.g1m_")));
  }

  void fitPathToWidthSequence() {
    // One unit per character: the example path narrows folder by folder, never below its file name.
    const QString path = "/Games/Data/Mods/tex/0001_0002.dds";
    auto measure = [](const QString& s) { return static_cast<int>(s.size()); };
    QStringList steps;
    for (int width = static_cast<int>(path.size()); width >= 0; --width) {
      const QString fitted = FitPathToWidth(path, measure, width);
      if (steps.isEmpty() || steps.last() != fitted) steps << fitted;
    }
    QCOMPARE(steps, (QStringList{"/Games/Data/Mods/tex/0001_0002.dds", "/.../Data/Mods/tex/0001_0002.dds",
                                 "/.../Mods/tex/0001_0002.dds", "/.../tex/0001_0002.dds",
                                 "/.../0001_0002.dds", ".../0001_0002.dds", "0001_0002.dds"}));
    QCOMPARE(DisplayReplacePath("/X/Folder_Bin/a.csv", "/x/folder_bin/", measure, 0), QString("a.csv"));
    QCOMPARE(DisplayReplacePath("/x/folder_bin/sub/a.csv", "/x/folder_bin/", measure, 100),
             QString("/x/folder_bin/sub/a.csv"));
    QCOMPARE(DisplayReplacePath("", "/x/", measure, 100), QString());
  }

  void dropFirstFolderTable() {
    const std::pair<QString, QString> cases[] = {
        {"/", ""},    {"/a/b/", "/.../b/"}, {"/.../b/c/", "/.../c/"}, {"a/b/", ".../b/"}, {".../b/", ".../"},
        {".../", ""}, {"a/", ".../"}};
    for (const auto& [in, out] : cases) {
      QString f = in;
      DropFirstFolder(f);
      QCOMPARE(f, out);
    }
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
