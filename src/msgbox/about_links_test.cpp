#include "msgbox/about_links.h"

#include <gtest/gtest.h>

namespace valmora {
namespace {

TEST(AboutLinks, VersionHasTwoMinorDigits) {
  EXPECT_EQ(VersionText(1, 16), L"1.16");
  EXPECT_EQ(VersionText(1, 5), L"1.05");
}

TEST(AboutLinks, AnAddressKeepsItsSchemeABareHostGetsOne) {
  EXPECT_EQ(HomeLinkTarget(L"www.corvellan.example"), L"http://www.corvellan.example");
  EXPECT_EQ(HomeLinkTarget(L"HTTP://www.corvellan.example"), L"HTTP://www.corvellan.example");
  EXPECT_EQ(HomeLinkTarget(L"https://www.corvellan.example/x"), L"https://www.corvellan.example/x");
}

TEST(AboutLinks, MailLinksKeepTheirSchemeAndEncodeTheSubject) {
  EXPECT_EQ(EmailCaption(L"sup port@corvellan.example"), L"sup_port@corvellan.example");
  EXPECT_EQ(EmailLinkTarget(L"support@corvellan.example", L"Valmora Enquiry"),
            L"mailto:support@corvellan.example?Subject=Valmora%20Enquiry");
  EXPECT_EQ(EmailLinkTarget(L"MailTo:a@b.example", L""), L"MailTo:a@b.example");
  EXPECT_EQ(EmailLinkTarget(L"a@b.example", L"Ü & ?"), L"mailto:a@b.example?Subject=%C3%9C%20%26%20%3F");
}

}  // namespace
}  // namespace valmora
