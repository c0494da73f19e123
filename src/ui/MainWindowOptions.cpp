// The main window's settings: what is read at creation and written at destruction, in the file's order.

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollArea>

#include "platform/Error.h"
#include "settings/ComponentProperties.h"
#include "settings/XmlDoc.h"
#include "ui/MainWindow.h"
#include "ui/PreviewPanel.h"

namespace pw {

namespace {

// The option items in the order the settings file lists them.
const char* const kOptionItems[] = {
    "nText",       "nTextures", "nBlockData",       "nShowView",   "nDefaultDir", "nWithExt",
    "nExtractRes", "nOnlyRes",  "nReplaceExisting", "nScanFolder", "nFindOnlyRes"};

// LoadInfo: a Boolean identifier, or a number (0 false, any other true).
bool LoadInfoOfText(const std::string& text) {
  const QString value = QString::fromStdString(text);
  if (std::optional<bool> b = BooleanOfText(value)) return *b;
  if (std::optional<int> n = IntegerOfText(value)) return *n != 0;
  throw Error("'" + text + "' is not a valid boolean value");
}

}  // namespace

QString TfrmMain::DefaultSettingsPath() {
  const QFileInfo program(QCoreApplication::applicationFilePath());
  return program.absolutePath() + QLatin1Char('/') + program.completeBaseName() + QStringLiteral(".cfg");
}

void TfrmMain::Options(bool read) {
  if (FSettingsPath.isEmpty()) return;
  try {
    TXMLCfgFile cfg(FSettingsPath.toStdString(), this);
    if (read) {
      cfg.ReadComponents();
      FLoadInfo = LoadInfoOfText(TXMLDoc::GetXmlValue(cfg.Path({"Options", "Textures"}), "LoadInfo", "true"));
      Option("nShowView")->setChecked(!FPreview->isHidden());
      ApplyPanelWidth();
      FPreview->nStretchImageClick();
      nExtractResClick();
      nScanFolderClick();
      return;  // the document is dropped unsaved
    }
    if (!isMaximized())
      for (const char* property : {"Height", "Width", "Left", "Top"}) cfg.WriteComponent(this, property);
    cfg.WriteComponent(this, "WindowState");
    cfg.WriteComponent(edtPath, "Text");
    cfg.WriteComponent(FPreview, "Visible");
    cfg.WriteComponent(FPreview, "Tag");
    cfg.WriteComponent(FPreview->StretchAction(), "Checked");
    cfg.WriteComponent(FPreview->ImageArea(), "Color");
    for (const char* item : kOptionItems) cfg.WriteComponent(Option(item), "Checked");
    cfg.Save();
  } catch (const std::exception& e) {
    FDialogs.Error(this, QString::fromUtf8(e.what()));
  }
}

}  // namespace pw
