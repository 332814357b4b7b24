#pragma once
// Page files of template pages, the contact script and file copies.

#include <string>

#include "site/records.h"
#include "site/site_map.h"

namespace mt {

/// Writes the page made from the template at `template_index`, if the
/// template exists. `fixed_name` is "index.html" for the home page, else null.
void page_from_template(Build& build, LangBuild& lang, const char* fixed_name, int template_index, const char* title,
                        MenuItem menu_mark);

/// Writes "sendemail.php" into the language output folder.
void write_contact_script(Build& build, const LangBuild& lang);

/// Copies a referenced file from the language source folder into the
/// language output folder; refuses paths that leave the folder.
void copy_referenced_file(Build& build, const LangBuild& lang, const std::string& path);

/// Copies `path` of `source_folder` to the same path below `output_folder`
/// (whose folders exist) as every output file is written, recording it for
/// --prune; refused when a folder on the way is a link. A failure is
/// reported at `source_folder`.
void copy_to_output(Build& build, const std::string& source_folder, const std::string& path,
                    const std::string& output_folder);

}  // namespace mt
