// TextCodec: the program's narrow text (GB18030) to and from wide text on Windows.
#include <gtest/gtest.h>

#include "framework/text/TextCodec.h"

namespace {

TEST(TextCodec, ChineseTextRoundTripsThroughTheNarrowEncoding) {
  const std::wstring texts[] = {L"关闭Vantel工具", L"SystemConfig.xml文件不存在!", L"显示系统设置",
                                L"\U00020000€", L""};
  for (const std::wstring& text : texts) EXPECT_EQ(Gb18030ToWide(WideToGb18030(text)), text);
  EXPECT_EQ(WideToGb18030(L"关闭"), "\xB9\xD8\xB1\xD5");
  EXPECT_EQ(Gb18030ToWide("\xC9\xBE\xB3\xFD\xB0\xB4\xBC\xFC"), L"删除按键");
}

}  // namespace
