#pragma once
// The addresses the about box links to, in one place. None has been given yet: a label whose target is
// empty is not shown.

namespace pw::about {

inline constexpr const char* kContactAddress = "";  // the author's contact address (mailto:)
inline constexpr const char* kDownloadPage = "";    // where the program is downloaded
inline constexpr const char* kDdsLibraryPage = "";  // the DDS decoding library's web page
// Payment labels: short code, payment identifier, the payment service's page.
struct TPaymentLink {
  const char* Code;
  const char* Identifier;
  const char* ServicePage;
};
inline constexpr TPaymentLink kPayments[4] = {{"", "", ""}, {"", "", ""}, {"", "", ""}, {"", "", ""}};

}  // namespace pw::about
