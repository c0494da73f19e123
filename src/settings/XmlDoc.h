#pragma once
// The settings file's XML: TXMLDoc owns one document tied to one file and writes it back in the encoding
// it was read in; TXMLCfgFile maps component properties to attributes of Config/Components/<name>.

#include <QString>
#include <pugixml.hpp>
#include <string>

class QObject;

namespace pw {

class TXMLDoc {
 public:
  // A document tied to fileName: the file's content when it exists (a file that cannot be parsed throws
  // pw::Error with the parser's message), else a new UTF-16 document with an empty root rootName.
  TXMLDoc(const std::string& fileName, const std::string& rootName);
  virtual ~TXMLDoc() = default;

  // The root element (null when the document has none).
  pugi::xml_node Nodes() const { return FXML.document_element(); }
  // Appends an element under the root.
  pugi::xml_node AddNode(const std::string& name);
  // Appends an element as the last child of parent (none when parent is null).
  pugi::xml_node AddNode(pugi::xml_node parent, const std::string& name);
  // The attribute valueName of node, or defaultValue when node lacks it.
  static std::string GetXmlValue(pugi::xml_node node, const std::string& valueName,
                                 const std::string& defaultValue);
  // Appends a comment with the text value to parent.
  static void WriteComent(pugi::xml_node parent, const std::string& value);
  // Writes the document to its file in the file's encoding (replacing the file only when complete).
  void Save();

 protected:
  // The child named name of parent, appended when missing (auto-creation of missing children).
  pugi::xml_node Child(pugi::xml_node parent, const std::string& name);
  bool FAutoCreate = false;
  pugi::xml_document FXML;

 private:
  std::string FFileName;
  pugi::xml_encoding FEncoding = pugi::encoding_utf16_le;
  bool FWriteBom = true;
};

class TXMLCfgFile : public TXMLDoc {
 public:
  // The settings document of fileName (root "Config") for the components owned by component.
  TXMLCfgFile(const std::string& fileName, QObject* component);

  // Applies every attribute of every element of Config/Components to the component of the element's name.
  void ReadComponents();
  // Sets attribute propName of Config/Components/compName to value (errors leave it unwritten).
  void WriteComponent(const QString& compName, const QString& propName, const QString& value);
  // Writes the current value of component's property propName ("Font.Size": a property of a property).
  void WriteComponent(QObject* component, const QString& propName);
  // The element at a path below the root, created in memory when missing.
  pugi::xml_node Path(std::initializer_list<const char*> names);

 private:
  QObject* FindComponent(const QString& name) const;
  QObject* FComponent;
};

}  // namespace pw
