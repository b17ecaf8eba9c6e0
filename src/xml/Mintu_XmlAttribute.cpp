// XmlAttribute: construction and splitting of the tag, value semantics,
// comparisons and the attribute's text form.
#include "port/Port_Init.h"

#include "mintu/Mintu_XmlAttribute.h"

#include "Mintu_XmlDetail.h"

#include <string_view>
#include <utility>

namespace Mintu {

const StringBase XmlAttribute::NAMESPACE_SEPARATOR(std::string(1, Detail::NAMESPACE_SEPARATOR));

XmlAttribute::XmlAttribute(const StringBase& tag, const StringBase& text)
    : tag_(tag), text_(text), separator_(Detail::SplitTag(tag_)) {}

XmlAttribute::XmlAttribute(StringBase&& tag, StringBase&& text)
    : tag_(std::move(tag)), text_(std::move(text)), separator_(Detail::SplitTag(tag_)) {}

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
  // The namespace and the name go with the tag.
  tag_.swap(other.tag_);
  std::swap(separator_, other.separator_);
  text_.swap(other.text_);
}

const StringBase XmlAttribute::GetTag() const { return tag_; }
const StringBase XmlAttribute::GetNamespace() const {
  const std::string_view piece = Detail::NamespaceOf(tag_, separator_);
  return StringBase(piece.data(), piece.size());
}
const StringBase XmlAttribute::GetName() const {
  const std::string_view piece = Detail::NameOf(tag_, separator_);
  return StringBase(piece.data(), piece.size());
}
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
  return Detail::NamespaceNameThen(*this, other, [&] { return text_ < other.text_; });
}

bool XmlAttribute::operator<=(const XmlAttribute& other) const {
  return *this == other || *this < other;
}

bool XmlAttribute::operator>(const XmlAttribute& other) const {
  return !(*this == other) && !(*this < other);
}

bool XmlAttribute::operator>=(const XmlAttribute& other) const { return !(*this < other); }

}  // namespace Mintu
