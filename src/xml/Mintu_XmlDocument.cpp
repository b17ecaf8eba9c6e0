// XmlDocument: whole documents and the SPIRIT component root.
#include "port/Port_Init.h"

#include "mintu/Mintu_XmlDocument.h"

#include <string>
#include <utility>

#include <boost/make_shared.hpp>

#include "Mintu_XmlDetail.h"
#include "mintu/Mintu_Vocabulary.h"
#include "mintu/Mintu_XmlAttribute.h"
#include "mintu/Mintu_XmlElement.h"
#include "port/Port_SafeFile.h"

namespace Mintu {

const StringBase XmlDocument::DECLARATION = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
const StringBase XmlDocument::XSI_NAMESPACE = "http://www.w3.org/2001/XMLSchema-instance";

boost::shared_ptr<XmlNestedElement> XmlDocument::NewSpiritComponent() {
  const boost::shared_ptr<XmlNestedElement> component =
      boost::make_shared<XmlNestedElement>(Spirit::COMPONENT);
  component->attributes.Add(
      boost::make_shared<XmlAttribute>("xmlns:spirit", Spirit::SPIRIT_NAMESPACE));
  component->attributes.Add(boost::make_shared<XmlAttribute>("xmlns:xsi", XSI_NAMESPACE));
  component->attributes.Add(boost::make_shared<XmlAttribute>(
      "xsi:schemaLocation", Spirit::SPIRIT_NAMESPACE + " " + Spirit::SPIRIT_INDEX_SCHEMA));
  return component;
}

StringBase XmlDocument::ToXml(const XmlElement& root) {
  const StringBase tree = root.ToXml("");
  std::string text;
  text.reserve(DECLARATION.GetLength() + tree.GetLength());
  text.append(DECLARATION.GetBuffer(), DECLARATION.GetLength())
      .append(tree.GetBuffer(), tree.GetLength());
  return StringBase(std::move(text));
}

void XmlDocument::WriteFile(const XmlElement& root, const StringBase& path) {
  const StringBase text = ToXml(root);
  const int error = Port::SafeFile::write(path.str(), text.GetBuffer(), text.GetLength());
  if (error != 0) {
    Detail::ThrowAppException("Cannot write %s: %s\n", path.c_str(),
                              Port::SafeFile::errorText(error).c_str());
  }
}

}  // namespace Mintu
