// The colours a button is built with, read from the configuration.
#include "GDIButtons/GDIButtonClass.h"

#include "xml/ConfigFormat.h"
#include "xml/XmlDocument.h"

TButtonColors ReadButtonColors(const std::wstring& xmlFileName, const TXmlHost& host) {
  TXmlDocument document(host);
  document.LoadFile(xmlFileName);
  return ButtonColorsOf(document);
}

TButtonColors ButtonColorsOf(const TXmlDocument& document) {
  TButtonColors colors;
  if (const TXmlNode* root = document.RootElement()) {
    colors.DefaultColor = ConfigFormat::ReadDefaultColor(*root);
    colors.HotColor = ConfigFormat::ReadHotColor(*root);
  }
  return colors;
}
