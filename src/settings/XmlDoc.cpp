#include "settings/XmlDoc.h"

#include <QApplication>
#include <QWidget>
#include <cstring>
#include <sstream>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Stream.h"
#include "settings/ComponentProperties.h"

namespace pw {

namespace {

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments |
                                   pugi::parse_pi | pugi::parse_doctype;

struct TDetectedEncoding {
  pugi::xml_encoding Encoding;
  bool Bom;
};

// The encoding a settings file is in: its byte-order mark, its first character's width, or its declaration.
TDetectedEncoding DetectEncoding(const std::vector<uint8_t>& b) {
  if (b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return {pugi::encoding_utf8, true};
  if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) return {pugi::encoding_utf16_le, true};
  if (b.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF) return {pugi::encoding_utf16_be, true};
  if (b.size() >= 2 && b[0] == '<' && b[1] == 0) return {pugi::encoding_utf16_le, false};
  if (b.size() >= 2 && b[0] == 0 && b[1] == '<') return {pugi::encoding_utf16_be, false};
  const std::string head(b.begin(), b.begin() + static_cast<long>(std::min<size_t>(b.size(), 200)));
  const size_t at = head.find("encoding=");
  if (at != std::string::npos) {
    std::string name = head.substr(at + 10, 12);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name.rfind("ISO-8859-1", 0) == 0 || name.rfind("LATIN1", 0) == 0 ||
        name.rfind("WINDOWS-1252", 0) == 0)
      return {pugi::encoding_latin1, false};
  }
  return {pugi::encoding_utf8, false};
}

struct TBufferWriter : pugi::xml_writer {
  std::vector<uint8_t> Bytes;
  void write(const void* data, size_t size) override {
    const auto* p = static_cast<const uint8_t*>(data);
    Bytes.insert(Bytes.end(), p, p + size);
  }
};

}  // namespace

TXMLDoc::TXMLDoc(const std::string& fileName, const std::string& rootName) : FFileName(fileName) {
  if (FileExists(fileName)) {
    const std::vector<uint8_t> bytes = LoadFile(fileName);
    const TDetectedEncoding detected = DetectEncoding(bytes);
    FEncoding = detected.Encoding;
    FWriteBom = detected.Bom;
    const pugi::xml_parse_result result =
        FXML.load_buffer(bytes.data(), bytes.size(), kParseOptions, FEncoding);
    if (!result) {
      std::ostringstream message;
      message << "The settings file \"" << fileName << "\" cannot be read: " << result.description()
              << " (at byte " << result.offset << ").";
      throw Error(message.str());
    }
  } else {
    pugi::xml_node declaration = FXML.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-16";
    FXML.append_child(rootName.c_str());
  }
}

pugi::xml_node TXMLDoc::AddNode(const std::string& name) {
  return AddNode(Nodes(), name);
}

pugi::xml_node TXMLDoc::AddNode(pugi::xml_node parent, const std::string& name) {
  if (!parent) return {};
  return parent.append_child(name.c_str());
}

std::string TXMLDoc::GetXmlValue(pugi::xml_node node, const std::string& valueName,
                                 const std::string& defaultValue) {
  pugi::xml_attribute attribute = node.attribute(valueName.c_str());
  return attribute ? std::string(attribute.value()) : defaultValue;
}

void TXMLDoc::WriteComent(pugi::xml_node parent, const std::string& value) {
  parent.append_child(pugi::node_comment).set_value(value.c_str());
}

pugi::xml_node TXMLDoc::Child(pugi::xml_node parent, const std::string& name) {
  pugi::xml_node child = parent.child(name.c_str());
  if (!child && FAutoCreate && parent) child = parent.append_child(name.c_str());
  return child;
}

void TXMLDoc::Save() {
  TBufferWriter writer;
  unsigned flags = pugi::format_indent | pugi::format_no_declaration;
  if (FWriteBom) flags |= pugi::format_write_bom;
  FXML.save(writer, "  ", flags, FEncoding);
  TReplacingFile file(FFileName);
  file.Stream().Write(writer.Bytes.data(), writer.Bytes.size());
  file.Commit();
}

// ---- TXMLCfgFile ----

TXMLCfgFile::TXMLCfgFile(const std::string& fileName, QObject* component)
    : TXMLDoc(fileName, "Config"), FComponent(component) {
  FAutoCreate = true;
}

pugi::xml_node TXMLCfgFile::Path(std::initializer_list<const char*> names) {
  pugi::xml_node node = Nodes();
  for (const char* name : names) node = Child(node, name);
  return node;
}

QObject* TXMLCfgFile::FindComponent(const QString& name) const {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->objectName().compare(name, Qt::CaseInsensitive) == 0) return window;
  if (!FComponent) return nullptr;
  for (QObject* child : FComponent->findChildren<QObject*>())
    if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) return child;
  return nullptr;
}

void TXMLCfgFile::ReadComponents() {
  for (pugi::xml_node element : Path({"Components"}).children()) {
    if (element.type() != pugi::node_element) continue;
    QObject* component = FindComponent(QString::fromUtf8(element.name()));
    if (!component) continue;
    for (pugi::xml_attribute attribute : element.attributes()) {
      try {
        WriteComponentProperty(component, QString::fromUtf8(attribute.name()),
                               QString::fromUtf8(attribute.value()));
      } catch (...) {
        // One property that cannot be set leaves the others to apply.
      }
    }
  }
}

void TXMLCfgFile::WriteComponent(const QString& compName, const QString& propName, const QString& value) {
  try {
    pugi::xml_node element = Child(Path({"Components"}), compName.toStdString());
    const std::string name = propName.toStdString();
    pugi::xml_attribute attribute = element.attribute(name.c_str());
    if (!attribute) attribute = element.append_attribute(name.c_str());
    attribute.set_value(value.toUtf8().constData());
  } catch (...) {
    // A value that cannot be written is left out; the others are still saved.
  }
}

void TXMLCfgFile::WriteComponent(QObject* component, const QString& propName) {
  if (!component) return;
  std::optional<QString> value = ReadComponentProperty(component, propName);
  if (value) WriteComponent(component->objectName(), propName, *value);
}

}  // namespace pw
