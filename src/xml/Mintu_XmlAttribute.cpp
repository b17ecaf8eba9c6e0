// XmlAttribute: construction and splitting of the tag, value semantics,
// comparisons and the attribute's text form.
#include "port/Port_Init.h"

#include "mintu/Mintu_XmlAttribute.h"

#include "Mintu_XmlDetail.h"

namespace Mintu {

const StringBase XmlAttribute::NAMESPACE_SEPARATOR(":");

XmlAttribute::XmlAttribute(const StringBase& tag, const StringBase& text) : tag_(tag), text_(text) {
  if (!Detail::SplitTag(tag_, NAMESPACE_SEPARATOR, namespace_, name_)) {
    Detail::ThrowAppException("Invalid XML tag %s\n", tag.c_str());
  }
}

XmlAttribute::XmlAttribute(const XmlAttribute& other) = default;

XmlAttribute::~XmlAttribute() = default;

XmlAttribute& XmlAttribute::operator=(const XmlAttribute& other) {
  if (this != &other) {
    XmlAttribute copy(other);
    swap(copy);
  }
  return *this;
}

void XmlAttribute::swap(XmlAttribute& other) {
  tag_.swap(other.tag_);
  namespace_.swap(other.namespace_);
  name_.swap(other.name_);
  text_.swap(other.text_);
}

const StringBase XmlAttribute::GetTag() const { return tag_; }
const StringBase XmlAttribute::GetNamespace() const { return namespace_; }
const StringBase XmlAttribute::GetName() const { return name_; }
const StringBase XmlAttribute::GetText() const { return text_; }

void XmlAttribute::SetText(const StringBase& text) { text_.Assign(text, false); }

const StringBase XmlAttribute::ToXml() const {
  // Written byte for byte, embedded NULs included (no printf cut).
  StringBase out;
  out.Reserve(tag_.GetLength() + text_.GetLength() + 3);
  out.Append(tag_).Append("=\"", 2).Append(text_).Append('"');
  return out;
}

bool XmlAttribute::operator==(const XmlAttribute& other) const {
  return tag_ == other.tag_ && text_ == other.text_;
}

bool XmlAttribute::operator!=(const XmlAttribute& other) const { return !(*this == other); }

bool XmlAttribute::operator<(const XmlAttribute& other) const {
  if (namespace_ != other.namespace_) {
    return namespace_ < other.namespace_;
  }
  if (name_ != other.name_) {
    return name_ < other.name_;
  }
  return text_ < other.text_;
}

bool XmlAttribute::operator<=(const XmlAttribute& other) const {
  return *this == other || *this < other;
}

bool XmlAttribute::operator>(const XmlAttribute& other) const {
  return !(*this == other) && !(*this < other);
}

bool XmlAttribute::operator>=(const XmlAttribute& other) const { return !(*this < other); }

}  // namespace Mintu
