#pragma once
// Deployment settings of the site, fixed at build time.

namespace mt::config {

/// Sender used by the contact script when the visitor gives no address.
inline constexpr const char* kNoReplyAddress = "no-reply@tarnwick.example";
/// Where the contact script sends the messages.
inline constexpr const char* kContactRecipient = "contact@tarnwick.example";
/// Web search endpoint of the search box (an http URL whose path is "/search").
inline constexpr const char* kSearchEndpoint = "http://search.tarnwick.example/search";
/// The site's own domain, to which the search box restricts the search.
inline constexpr const char* kSiteDomain = "tarnwick.example";
/// The public site's home URL, without a trailing "/".
inline constexpr const char* kSiteHomeUrl = "https://www.tarnwick.example";
/// Donation form endpoint (path "/us/cgi-bin/webscr").
inline constexpr const char* kDonationEndpoint = "https://www.paypal.com/us/cgi-bin/webscr";
/// The donation account.
inline constexpr const char* kDonationAccount = "donations@tarnwick.example";

}  // namespace mt::config
