// Formatting of the XML document's error texts.
#include "xml/XmlError.h"

namespace XmlErrors {

namespace {
std::string Join(std::string_view a, std::string_view b, std::string_view c = {}) {
  std::string s;
  s.reserve(a.size() + b.size() + c.size());
  s.append(a).append(b).append(c);
  return s;
}
}  // namespace

std::string MissingCloseTag(std::string_view element) {
  return Join("Missing close tag in element ", element);
}
std::string MissingDataAfterLt(std::string_view element) {
  return Join("Missing data after \"<\" in element ", element);
}
std::string MissingGtInCloseTag(std::string_view element) {
  return Join("Missing \">\" in close tag of element ", element);
}
std::string IncorrectCloseTag(std::string_view element) {
  return Join("Incorrect close tag in element ", element);
}
std::string NestingTooDeep(std::string_view element) {
  return Join("Nesting too deep in element ", element);
}
std::string MissingMarkupEnd(std::string_view end, std::string_view start) {
  return Join(Join("Missing \"", end, "\" after \""), start, "\"");
}
std::string IllegalNodeNameCharacter(std::string_view name) {
  return Join("Illegal character in node name \"", name, "\"");
}
std::string CannotCreateFile(std::string_view fileName, std::string_view systemMessage) {
  return Join(Join("Cannot create file \"", fileName, "\". "), systemMessage);
}

void Raise(std::string_view message) {
  throw EXmlError(std::string(message));
}

}  // namespace XmlErrors
