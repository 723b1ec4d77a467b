// The exception type of the XML document: its what() is the message text, in the document's bytes.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

class EXmlError : public std::runtime_error {
 public:
  explicit EXmlError(const std::string& message) : std::runtime_error(message) {}
};

namespace XmlErrors {

// The texts the document raises; element names and file names are inserted as bytes.
inline constexpr std::string_view NoRootElement = "No root element found in xml";
inline constexpr std::string_view MissingElementName = "Missing element name";
inline constexpr std::string_view UnsupportedEncoding = "Unsupported string encoding";
inline constexpr std::string_view IllegalElementType = "Illegal element type";
inline constexpr std::string_view FileTooLarge = "File too large";

std::string MissingCloseTag(std::string_view element);
std::string MissingDataAfterLt(std::string_view element);
std::string MissingGtInCloseTag(std::string_view element);
std::string IncorrectCloseTag(std::string_view element);
std::string NestingTooDeep(std::string_view element);
// Markup cut off by the end of the file, e.g. Missing "-->" after "<!--".
std::string MissingMarkupEnd(std::string_view end, std::string_view start);
std::string IllegalNodeNameCharacter(std::string_view name);
std::string CannotCreateFile(std::string_view fileName, std::string_view systemMessage);

[[noreturn]] void Raise(std::string_view message);

}  // namespace XmlErrors
