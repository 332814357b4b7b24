#include "driver/pages.h"

#include "chrome/page_file.h"
#include "links/registry.h"
#include "links/urls.h"
#include "macros/expander.h"
#include "markup/converter.h"
#include "markup/inline.h"
#include "platform/fs.h"
#include "platform/remove.h"
#include "platform/text.h"
#include "site/site_map.h"

#include <algorithm>

namespace mt {

namespace {

// A missing template writes no page and says nothing; under --pedantic the
// ones every page links to are named, once per language.
void report_missing_template(Build& build, const LangBuild& lang, int template_index,
                             const std::string& template_path) {
  const char* place = frame_place(template_index);
  if (!place) return;
  if (PedanticGate due = build.pedantic_due({PedanticPlace::Check::kTemplate, template_path})) {
    due.report({lang.source_folder()}, Msg::missing_template, PathArg{template_path}, place);
  }
}

// Where a template's page goes: a fixed name in the language folder, or
// "index.html" in a folder named after the template, made here.
struct PagePlace {
  std::string folder;  // "" for a fixed name
  std::string path;
  bool new_folder = false;  // made by this run: the page is written in place
};

bool place_page(Build& build, const LangBuild& lang, const char* fixed_name, const std::string& template_name,
                PagePlace* place) {
  place->new_folder = lang.new_folder;
  if (fixed_name) {
    place->path = join_path(lang.output_folder, fixed_name);
    return true;
  }
  place->folder = join_path(lang.output_folder, cut_extension(template_name));
  const PageFolder made = make_page_folder(build, lang, place->folder, lang.new_folder);
  if (made == PageFolder::kRefused) return false;
  place->new_folder = made == PageFolder::kNew;
  place->path = join_path(place->folder, "index.html");
  return true;
}

}  // namespace

void page_from_template(Build& build, LangBuild& lang, const char* fixed_name, int template_index, const char* title,
                        MenuItem menu_mark) {
  const std::string& template_name = lang.str(template_index);
  const std::string template_path = join_path(lang.source_folder(), template_name);
  if (!build.sources.exists(template_path)) {
    report_missing_template(build, lang, template_index, template_path);
    return;
  }
  if (build.sources.outside_site(template_path)) {
    build.diag.report({lang.source_folder()}, Msg::source_outside_site, PathArg{template_path});
    return;
  }

  Page page;
  // The home page is written as the language folder's own index, so that is
  // where links to it and its headings lead; its template name ("home")
  // names no page that exists.
  page.url = fixed_name ? lang.base_url : template_page_url(lang, template_index);
  build.links.declare(page.url, std::nullopt, true);

  PagePlace place;
  if (!place_page(build, lang, fixed_name, template_name, &place)) return;
  const std::string& folder = place.folder;
  const std::string& page_path = place.path;

  // Writing the page over its own template (an output folder among the
  // sources) would lose the template before it is read.
  FileId page_id, template_id;
  if (file_id(page_path, &page_id) && build.sources.id(build.sources.resolve(template_path), &template_id) &&
      page_id == template_id) {
    build.diag.report({lang.source_folder()}, Msg::write_over_source, PathArg{page_path});
    return;
  }

  const bool written = write_framed_page(
      build, lang, page_path,
      {title, menu_mark, Layout::kPlain, false, {template_index, -1}, template_path, place.new_folder},
      [&](Build& writing, Sink& out) {
        page.out = &out;
        // The template was there a moment ago; one that cannot be read (a
        // folder, a dangling link, no permission) would otherwise leave an empty
        // page behind without a word.
        if (!convert_page(writing, lang, page, template_path, ConvertOptions{.macros = expand_macro})) {
          writing.diag.report({lang.source_folder()}, Msg::cant_open, PathArg{template_path});
        }
      });
  // A page left as it was leaves its folder's time alone too.
  if (!written) return;

  if (!folder.empty()) {
    FsError error;
    if (touch_folder(folder, &error) == TouchResult::kCannotSet) {
      build.diag.report({}, Msg::set_file_time_failed, error.code);
    }
  }
}

// The contact form's script. A missing field reads as empty (current PHP would
// otherwise print a warning before the redirect and so break it); a field
// sent as an array, or holding a NUL byte that mail() refuses, is taken as
// an empty form instead of ending in a fatal error; preg_match refuses a line
// break in the address, which would let it inject headers; "@" keeps a
// failing mail system's PHP message out of the response (the error page says
// so). Every slot value is script-safe (checked when it is read). Lines end
// in CR LF in the file.
constexpr std::string_view kContactScript = R"php(<?php
	$email = $_REQUEST['email'] ?? '' ;
	$message = $_REQUEST['message'] ?? '' ;
	if (!is_string($email) || !is_string($message) || strpos($email . $message, "\0") !== false) { $email = ''; $message = ''; }
	
	if (($email) || ($message))
	{
		if (!$email)
		{
			$email = "{{NO_REPLY_ADDRESS}}";
		}
	
		if (!$message)
		{
			$message = "";
		}
	
		if (strlen($email) == 0)
		{
			$email = "{{NO_REPLY_ADDRESS}}";
		}
	
		if (filter_var($email, FILTER_SANITIZE_EMAIL))
		{
			if (preg_match("/(\\r|\\n)/", $email)) 
			{
				header( "Location: {{BASE_URL}}/{{ERROR_PAGE}}" );
			}
			else
			if (@mail( "{{CONTACT_ADDRESS}}", "{{SITE_NAME}} - Contact form",  "From: " . $email . "\n" . $message)) 
			{
				header( "Location: {{BASE_URL}}/{{OK_PAGE}}" );
			} 
			else
			{
				header( "Location: {{BASE_URL}}/{{ERROR_PAGE}}" );
			}
		}
		else
		{
			header( "Location: {{BASE_URL}}/{{ERROR_PAGE}}" );
		}
	}
	else
	{
		header( "Location: {{BASE_URL}}/{{ERROR_PAGE}}" );
	}
?>
)php";

void write_contact_script(Build& build, const LangBuild& lang) {
  const std::string path = join_path(lang.output_folder, "sendemail.php");
  if (!record_output(build, path, false)) return;
  FileSink php;
  if (!php.open(path)) {
    build.diag.report({lang.source_folder()}, Msg::create_failed, PathArg{path}, error_text(php.error()));
    return;
  }
  const std::string ok_page = cut_extension(lang.str(CONTACTOK_TEMPLATE));
  const std::string error_page = cut_extension(lang.str(CONTACTERROR_TEMPLATE));
  php.write(fill_slots(kContactScript, {{"NO_REPLY_ADDRESS", build.setup.site.no_reply_address},
                                        {"CONTACT_ADDRESS", build.setup.site.contact_address},
                                        {"SITE_NAME", build.setup.site.site_name},
                                        {"BASE_URL", lang.base_url},
                                        {"OK_PAGE", ok_page},
                                        {"ERROR_PAGE", error_page}}));
  close_output(build, lang, php, path);
}

void copy_referenced_file(Build& build, const LangBuild& lang, const std::string& path) {
  if (leaves_folder(path)) {
    build.diag.report({lang.source_folder()}, Msg::copy_outside_site, PathArg{path});
    return;
  }
  copy_to_output(build, lang.source_folder(), path, lang.output_folder);
}

void copy_to_output(Build& build, const std::string& source_folder, const std::string& path,
                    const std::string& output_folder) {
  const std::string destination = join_path(output_folder, path);
  if (!record_output(build, destination, false)) return;
  FsError error;
  WriteOutcome outcome = WriteOutcome::kChanged;
  // The copy is written in a folder of the output that the owner made; a
  // link there would carry it out of the output folder.
  using Kind = FsError::Kind;
  if (link_on_the_way(output_folder, path)) error.kind = Kind::kThroughLink;
  if (error == Kind::kNone &&
      copy_source_file(build.sources, join_path(source_folder, path), destination, &error, &outcome)) {
    note_change(build, destination, outcome);
    return;
  }
  if (error == Kind::kOutsideSite) {
    build.diag.report({source_folder}, Msg::copy_outside_site, PathArg{path});
  } else if (error == Kind::kSameFile) {
    build.diag.report({source_folder}, Msg::write_over_source, PathArg{destination});
  } else if (error == Kind::kNotFound || error == Kind::kNotFolder || error == Kind::kIsFolder ||
             error == Kind::kDenied) {
    // A source that cannot be read keeps its message.
    build.diag.report({source_folder}, Msg::copy_failed, PathArg{path}, error_number(error));
  } else {
    build.diag.report({source_folder}, Msg::write_failed, PathArg{destination}, error_text(error));
  }
}

}  // namespace mt
