#include "macros/expander.h"

#include <algorithm>
#include <string>

#include "links/urls.h"
#include "macros/csv.h"
#include "macros/downloads.h"
#include "markup/converter.h"
#include "markup/localised.h"
#include "platform/text.h"
#include "site/strings.h"

namespace mt {

namespace {

// Shared by all languages, so it lives in the source root.
constexpr const char* kPreviousVersionsFile = "{{PREVIOUS_VERSIONS}}.txt";

using MacroWriter = void (*)(Build&, LangBuild&, Page&, const LineSource&);

void screenshot_begin(Build& build, LangBuild& lang, Page& page, const LineSource&) {
  UrlTarget support = menu_target(lang, kMenuSupport);
  if (!support.file.empty()) lang.files.add(support.file);
  const std::string& support_home = support.url;
  Sink& out = *page.out;
  out.printf("<div class=\"screenshot\">\r\n");
  if (equal_no_case(lang.folder_code, "es-es")) {
    // The Spanish screenshot is the language's own copy; every other
    // language shares the one at the root of the site, and so does the
    // root build, whatever its language (hence the folder's code).
    lang.files.add("sssmall2.gif");
    out.printf("<a href=\"%s\"><img alt=\"%s\" height=215 src=\"%s/es-es/sssmall2.gif\" width=277 /></a>\r\n",
               support_home.c_str(), build.setup.site.product_name.c_str(), build.setup.url_root.c_str());
  } else {
    out.printf("<a href=\"%s\"><img alt=\"%s\" height=215 src=\"%s/sssmall2.gif\" width=277 /></a>\r\n",
               support_home.c_str(), build.setup.site.product_name.c_str(), build.setup.url_root.c_str());
  }
  out.printf("</div>\r\n");
  // Left open: the page text flows beside the screenshot until SCREENSHOT_END.
  out.printf("<div>\r\n");
}

void screenshot_end(Build&, LangBuild&, Page& page, const LineSource&) {
  page.out->printf("</div>\r\n");
  page.out->printf("<div style=\"clear:both\">\r\n");
  page.out->printf("</div>\r\n");
}

template <void (*Section)(Build&, LangBuild&, Sink&)>
void section(Build& build, LangBuild& lang, Page& page, const LineSource&) {
  Section(build, lang, *page.out);
}

void nothing(Build&, LangBuild&, Page&, const LineSource&) {}

void contact_form(Build&, LangBuild& lang, Page& page, const LineSource&) {
  Sink& out = *page.out;
  out.printf("<form action=\"%s/sendemail.php\" method=\"post\">", lang.base_url.c_str());
  out.printf("<p>");
  out.printf("%s<br/>", lang.str(CONTACT_FORM_MESSAGE).c_str());
  out.printf("<textarea name=\"message\" cols=\"40\" rows=\"7\" style=\"width:100%%;\"></textarea>");
  out.printf("</p>");
  out.printf("<p>");
  out.printf("<br/>");
  out.printf("%s<br/>", lang.str(CONTACT_FORM_EMAIL).c_str());
  out.printf("<input type=\"text\" name=\"email\" size=\"25\" maxlength=\"100\" style=\"width:40%%;\" />");
  out.printf("</p>");
  out.printf("<p>");
  out.printf("<br/>");
  out.printf("<input type=\"submit\" value=\"%s\" style=\"width:80px;\" />", lang.str(CONTACT_FORM_SEND).c_str());
  out.printf("</p>");
  out.printf("</form>");
}

/// The currency field for the language's donors.
const char* currency_field(const std::string& code) {
  if (equal_no_case(code, "en-au")) return "<input type=\"hidden\" name=\"currency_code\" value=\"AUD\">";
  if (equal_no_case(code, "en-uk")) return "<input type=\"hidden\" name=\"currency_code\" value=\"GBP\">";
  return "<input type=\"hidden\" name=\"currency_code\" value=\"USD\">";
}

void donate_form(Build& build, LangBuild& lang, Page& page, const LineSource&) {
  Sink& out = *page.out;
  out.printf("<form name=\"_donations\" action=\"");
  out.write(build.setup.site.donation_endpoint);
  out.printf("\" method=\"post\">");
  out.printf("<input type=\"hidden\" name=\"cmd\" value=\"_donations\">");
  out.printf("<input type=\"hidden\" name=\"business\" value=\"");
  out.write(build.setup.site.donation_address);
  out.printf("\">");
  // The folder's code: the root build of any language takes dollars.
  out.write(currency_field(lang.folder_code));
  out.printf("<input type=\"hidden\" name=\"item_name\" value=\"%s\">", build.setup.site.product_name.c_str());
  out.printf("<input type=\"hidden\" name=\"no_shipping\" value=\"1\">");

  // The donor comes back to the public site, never to the URL root.
  std::string return_url = build.setup.site.site_home_url;
  // Appended piecewise: `"/" + temporary` makes GCC's optimiser warn of an
  // overlapping copy that cannot happen.
  if (!lang.folder_code.empty()) {
    return_url += '/';
    return_url += lang.folder_code;
  }
  return_url += '/';
  return_url += cut_extension(lang.str(DONATED_TEMPLATE));
  out.printf("<input type=\"hidden\" name=\"return\" value=\"%s\">", return_url.c_str());

  out.printf("<p><input type=\"hidden\" name=\"on0\" value=\"Name\">");
  out.printf("%s<br/>", lang.str(DONATE_FORM_NAME).c_str());
  out.printf("<input type=\"text\" name=\"os0\">");
  out.printf("</p>");
  out.printf("<br/>");
  out.printf("<p><input type=\"hidden\" name=\"on1\" value=\"Comment\" maxlength=\"200\">");
  out.printf("%s<br/>", lang.str(DONATE_FORM_COMMENT).c_str());
  out.printf("<textarea maxlength=\"200\" cols=\"40\" rows=\"7\" style=\"width:100%%;\" name=\"os1\"></textarea>");
  out.printf("</p>");
  out.printf("<br/>");
  UrlTarget image = resolve_target(lang, lang.str(DONATE_FORM_BUTTON_IMAGE));
  if (!image.file.empty()) lang.files.add(image.file);
  const std::string& button = image.url;
  out.printf("<input type=\"image\" src=\"%s\" border=\"0\" name=\"submit\" alt=\"%s\">", button.c_str(),
             lang.str(DONATE_FORM_DONATE).c_str());
  out.printf("</form>");
}

void languages(Build& build, LangBuild&, Page& page, const LineSource&) {
  Sink& out = *page.out;
  out.printf("<ul>\r\n");
  for (const Language& language : build.setup.languages) {
    out.printf("<li><p><a href=\"%s/%s\">%s</a></p></li>\r\n", build.setup.url_root.c_str(), language.code.c_str(),
               language.display_name.c_str());
  }
  out.printf("</ul>\r\n");
}

void previous_versions(Build& build, LangBuild& lang, Page& page, const LineSource& where) {
  // The included text calling itself would never end; refuse the inner call.
  if (std::find(page.converting.begin(), page.converting.end(), kPreviousVersionsFile) != page.converting.end()) {
    build.diag.report({where.path, where.line}, Msg::previous_versions_loop);
    return;
  }
  build.tally.shared_read.insert(ascii_lower(kPreviousVersionsFile));
  if (convert_page(build, lang, page, kPreviousVersionsFile, ConvertOptions{.macros = expand_macro})) return;
  if (PedanticGate due = build.pedantic_due({PedanticPlace::Check::kPageText, kPreviousVersionsFile})) {
    due.report({where.path, where.line}, Msg::missing_page_text, PathArg{kPreviousVersionsFile});
  }
}

void pre_example(Build&, LangBuild&, Page& page, const LineSource&) {
  Sink& out = *page.out;
  out.printf("<pre>\r\n");
  out.printf("&lt;pre&gt;\r\n");
  out.printf("int i;\r\n");
  out.printf("for(i=0;i&lt;10;i++)\r\n");
  out.printf("{\r\n");
  out.printf("\tprintf(\"hello %%d\\n\",i);\r\n");
  out.printf("}\r\n");
  out.printf("&lt;/pre&gt;\r\n");
  out.printf("</pre>\r\n");
}

struct Macro {
  const char* name;
  MacroWriter write;
};

constexpr Macro kMacros[] = {
    {"SCREENSHOT_BEGIN", screenshot_begin},
    {"SCREENSHOT_END", screenshot_end},
    {"DOWNLOAD_WENDREL", section<write_download_current>},
    {"DOWNLOAD_WENDREL_BETA", nothing},  // recognised; no beta on offer
    {"DOWNLOAD_ALL_WENDREL", section<write_download_all>},
    {"DOWNLOAD_WENDREL_LANGUAGE_PACK", section<write_download_language_pack>},
    {"DOWNLOAD_WENDREL_COMMAND_LINE_INTERFACE", section<write_download_cli>},
    {"DOWNLOAD_WENDREL_SDK", section<write_download_sdk>},
    {"DOWNLOAD_WENDREL_OFFLINE_HELP", section<write_download_offline_help>},
    {"CONTACT_FORM", contact_form},
    {"DONATE_FORM", donate_form},
    {"DONATE_HISTORY", section<write_donate_history>},
    {"LANGUAGES", languages},
    {"SUPPORTED_LANGUAGES", section<write_supported_languages>},
    {"PREVIOUS_STABLE_RELEASES", section<write_previous_stable_releases>},
    {"PREVIOUS_VERSIONS", previous_versions},
    {"PRE_EXAMPLE", pre_example},
};

// A line that names no macro writes nothing; --pedantic says so.
void report_unknown_macro(Build& build, std::string_view name, const LineSource& where) {
  const PedanticGate due =
      build.pedantic_due({PedanticPlace::Check::kUnknownMacro, std::string(where.path), where.line});
  if (!due) return;
  const std::string shown(name);
  const std::string hint = closest_name(name, kMacros, [](const Macro& m) { return m.name; });
  if (hint.empty()) {
    due.report({where.path, where.line}, Msg::unknown_macro, shown);
  } else {
    due.report({where.path, where.line}, Msg::unknown_macro_hint, shown, hint);
  }
}

}  // namespace

void expand_macro(Build& build, LangBuild& lang, Page& page, std::string_view name, const LineSource& where) {
  for (const Macro& macro : kMacros) {
    if (equal_no_case(name, macro.name)) {
      macro.write(build, lang, page, where);
      return;
    }
  }
  report_unknown_macro(build, name, where);
}

}  // namespace mt
