#pragma once
// The site's deployment and release values: every value the tool otherwise
// fixes, with today's values as defaults, so a site with no configuration
// file builds exactly as before. A configuration file overrides single keys.

#include <string>

namespace mt {

struct SiteConfig {
  // Names the fixed texts use. The banner and the usage text keep their own.
  std::string product_name = "Wendrel";  // screenshot alt, donation item name, file patterns
  std::string site_name = "tarnwick";    // logo alt, RSS feed title, contact mail subject

  // The release on offer: a new release changes these two.
  std::string version = "1.4.1.877";
  std::string previous_version = "1.3.4.686";

  // File-name patterns; "{{PRODUCT_NAME}}", "{{VERSION}}" and
  // "{{PREVIOUS_VERSION}}" are replaced when the file is loaded, so the
  // fields below always hold the final names.
  std::string current_prefix = "Wendrel-1.4.1.877";   // current release files: prefix + fixed suffix
  std::string previous_prefix = "Wendrel-1.3.4.686";  // previous release files: prefix + fixed suffix
  std::string language_pack_file = "Wendrel.lng.zip";
  std::string sdk_file = "Wendrel-SDK.zip";
  std::string offline_help_file = "Wendrel.chm.zip";
  std::string cli_file = "WCL-1.1.0.8.zip";
  // Site paths (from the site root, with the leading "/").
  std::string changes_file = "/Changes.txt";
  std::string checksum_file = "/Wendrel-1.4.1.877.sha256";
  std::string version_ini = "/wendrel/version.ini";

  // Addresses and endpoints.
  std::string site_home_url = "https://www.tarnwick.example";  // no trailing "/"
  std::string no_reply_address = "no-reply@tarnwick.example";
  std::string contact_address = "contact@tarnwick.example";
  std::string donation_address = "donations@tarnwick.example";
  std::string donation_endpoint = "https://www.paypal.com/us/cgi-bin/webscr";
  std::string search_endpoint = "http://search.tarnwick.example/search";
  std::string site_domain = "tarnwick.example";

  // A folder of the working folder whose files every build copies into the
  // output root first; "": none (release files are put there by hand).
  std::string release_folder;

  // "on": the pages of a right-to-left language read right to left in their
  // content, table of contents and support navigation, without markers.
  std::string rtl_content = "off";

  // "on": support pages honour __RTL_BEGIN__/__RTL_END__ as template pages do.
  std::string support_direction_markers = "off";

  // Across languages, all "off" by default so a site that sets none of them
  // builds as before. "on": every page's head names its versions in the
  // other languages and its canonical address, and "lang" carries the
  // language's BCP 47 tag.
  std::string alternate_links = "off";
  // "on": the build writes a sitemap per language, an index and a robots.txt.
  std::string sitemaps = "off";
  // "on": head links and sitemaps use SITE_HOME_URL in place of the URL root.
  std::string absolute_addresses = "off";
  // "on": every page's foot links to the same page in each language.
  std::string language_switch = "off";
  // "code=tag" pairs for language codes that the tag rule cannot map.
  std::string language_tags;

  bool operator==(const SiteConfig&) const = default;
};

}  // namespace mt
