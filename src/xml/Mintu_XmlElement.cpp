// XmlElement, XmlNestedElement and XmlLeafElement: construction from a tag,
// value semantics, text form and comparisons. This file also issues the
// navigation failures of the element model.
#include "port/Port_Init.h"

#include "mintu/Mintu_XmlElement.h"

#include <string>
#include <string_view>
#include <utility>

#include "Mintu_XmlCompare.h"
#include "Mintu_XmlDetail.h"
#include "Mintu_XmlWriter.h"
#include "diagnostics/Mintu_Issue.h"

namespace Mintu {

namespace {
typedef Detail::XmlAccess A;
const Detail::IssueSource kSource = {"Mintu_XmlElement", "$Revision: 1.52.4.5 $"};
}  // namespace

namespace Detail {

void IssueAddFailure(const StringBase& path, const StringBase& text) {
  MINTU_ISSUE(kSource).issueError("Could not add element '%s' value '%s'.\n", path.c_str(),
                                  text.c_str());
}

}  // namespace Detail

const StringBase XmlElement::NAMESPACE_SEPARATOR(std::string(1, Detail::NAMESPACE_SEPARATOR));
const StringBase XmlElement::TAG_SEPARATOR("/");

// --- XmlElement ------------------------------------------------------------

XmlElement::XmlElement(const StringBase& tag) : XmlElement(StringBase(tag), Detail::KIND_OTHER) {}

XmlElement::XmlElement(StringBase&& tag, unsigned char kind)
    : tag_(std::move(tag)), separator_(Detail::SplitTag(tag_)), kind_(kind) {}

// The kind belongs to the class of the object being built, not to the one
// copied from: the library's classes set their own after this.
XmlElement::XmlElement(const XmlElement& other)
    : attributes(other.attributes),
      tag_(other.tag_),
      separator_(other.separator_),
      kind_(Detail::KIND_OTHER) {}

XmlElement::~XmlElement() = default;

// Copies first, then exchanges that cannot fail: a failed assignment leaves
// the target as it was.
XmlElement& XmlElement::operator=(const XmlElement& other) {
  if (this != &other) {
    XmlAttributeList attributesCopy(other.attributes);
    StringBase tagCopy(other.tag_);
    attributes.items.swap(attributesCopy.items);
    tag_.swap(tagCopy);
    separator_ = other.separator_;
  }
  return *this;
}

void XmlElement::swap(XmlElement& other) {
  // Each side ends with copies of the other's former attributes; both copies
  // exist before either side changes.
  XmlAttributeList mine(attributes);
  XmlAttributeList theirs(other.attributes);
  attributes.items.swap(theirs.items);
  other.attributes.items.swap(mine.items);
  Exchange(other, false);
}

void XmlElement::Exchange(XmlElement& other, bool withAttributes) noexcept {
  if (withAttributes) {
    attributes.items.swap(other.attributes.items);
  }
  // The namespace and the name go with the tag.
  tag_.swap(other.tag_);
  std::swap(separator_, other.separator_);
}

const StringBase XmlElement::GetTag() const { return tag_; }
const StringBase XmlElement::GetNamespace() const {
  const std::string_view piece = A::Namespace(*this);
  return StringBase(piece.data(), piece.size());
}
const StringBase XmlElement::GetName() const {
  const std::string_view piece = A::Name(*this);
  return StringBase(piece.data(), piece.size());
}

bool XmlElement::IsNested() const { return false; }

void XmlElement::WriteXml(std::ostream& out, const StringBase& indent) const {
  Detail::WriteXml(out, *this, indent.str());
}

bool XmlElement::operator==(const XmlElement& other) const {
  return Detail::ElementEqual(*this, other);
}

bool XmlElement::operator!=(const XmlElement& other) const { return !(*this == other); }

bool XmlElement::operator<(const XmlElement& other) const {
  return Detail::ElementLess(*this, other);
}

bool XmlElement::operator<=(const XmlElement& other) const {
  return *this == other || *this < other;
}

bool XmlElement::operator>(const XmlElement& other) const {
  return !(*this == other) && !(*this < other);
}

bool XmlElement::operator>=(const XmlElement& other) const { return !(*this < other); }

// --- XmlNestedElement ------------------------------------------------------

XmlNestedElement::XmlNestedElement(const StringBase& tag)
    : XmlElement(StringBase(tag), Detail::KIND_NESTED) {}

XmlNestedElement::XmlNestedElement(StringBase&& tag)
    : XmlElement(std::move(tag), Detail::KIND_NESTED) {}

XmlNestedElement::XmlNestedElement(const XmlNestedElement& other)
    : XmlElement(other), elements(other.elements) {
  kind_ = Detail::KIND_NESTED;
}

XmlNestedElement::XmlNestedElement(const XmlNestedElement& other, NoChildren) : XmlElement(other) {
  kind_ = Detail::KIND_NESTED;
}

XmlNestedElement::~XmlNestedElement() = default;

XmlNestedElement& XmlNestedElement::operator=(const XmlNestedElement& other) {
  if (this != &other) {
    XmlNestedElement copy(other);
    swap(copy);
  }
  return *this;
}

void XmlNestedElement::swap(XmlNestedElement& other) {
  // `other` is a fresh deep copy about to be destroyed (assignment is the only
  // caller), so exchanging the members themselves leaves the same state as
  // exchanging copies of them, and cannot fail.
  Exchange(other, true);
  elements.items.swap(other.elements.items);
}

bool XmlNestedElement::IsNested() const { return true; }

const StringBase XmlNestedElement::ToXml(const StringBase& indent) const {
  std::string out;
  Detail::WriteNested(out, *this, indent.str());
  return StringBase(std::move(out));
}

bool XmlNestedElement::operator==(const XmlNestedElement& other) const {
  return A::Tag(*this) == A::Tag(other) &&
         Detail::AttributeListEqual(attributes, other.attributes) &&
         Detail::ElementListEqual(elements, other.elements);
}

bool XmlNestedElement::operator<(const XmlNestedElement& other) const {
  return Detail::NamespaceNameThen(
      *this, other, [&] { return Detail::ElementListLess(elements, other.elements); });
}

// --- XmlLeafElement --------------------------------------------------------

XmlLeafElement::XmlLeafElement(const StringBase& tag, const StringBase& text)
    : XmlElement(StringBase(tag), Detail::KIND_LEAF), text_(text) {}

XmlLeafElement::XmlLeafElement(StringBase&& tag, StringBase&& text)
    : XmlElement(std::move(tag), Detail::KIND_LEAF), text_(std::move(text)) {}

XmlLeafElement::XmlLeafElement(const XmlLeafElement& other)
    : XmlElement(other), text_(other.text_) {
  kind_ = Detail::KIND_LEAF;
}

XmlLeafElement::~XmlLeafElement() = default;

XmlLeafElement& XmlLeafElement::operator=(const XmlLeafElement& other) {
  if (this != &other) {
    XmlLeafElement copy(other);
    swap(copy);
  }
  return *this;
}

void XmlLeafElement::swap(XmlLeafElement& other) {
  // As for nested elements: `other` is a fresh copy, so this cannot fail.
  Exchange(other, true);
  text_.swap(other.text_);
}

const StringBase XmlLeafElement::GetText() const { return text_; }

void XmlLeafElement::SetText(const StringBase& text) { text_.Assign(text, false); }

const StringBase XmlLeafElement::ToXml(const StringBase& indent) const {
  std::string out;
  Detail::WriteLeaf(out, *this, indent.str());
  return StringBase(std::move(out));
}

bool XmlLeafElement::operator==(const XmlLeafElement& other) const {
  return A::Tag(*this) == A::Tag(other) && text_ == other.text_ &&
         Detail::AttributeListEqual(attributes, other.attributes);
}

bool XmlLeafElement::operator<(const XmlLeafElement& other) const {
  return Detail::NamespaceNameThen(*this, other, [&] { return text_ < other.text_; });
}

}  // namespace Mintu
