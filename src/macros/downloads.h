#pragma once
// The download sections with the fixed release data.

#include <cstdint>
#include <string>

#include "site/records.h"

namespace mt {

/// Size in whole KB (rounded up) of a release file in the output root; 0
/// after reporting it missing.
uint64_t download_size_kb(Build& build, const std::string& file_name);

void write_download_current(Build& build, LangBuild& lang, Sink& out);        // "dl"
void write_download_all(Build& build, LangBuild& lang, Sink& out);            // "all"
void write_download_language_pack(Build& build, LangBuild& lang, Sink& out);  // "language"
void write_download_sdk(Build& build, LangBuild& lang, Sink& out);            // "sdk"
void write_download_offline_help(Build& build, LangBuild& lang, Sink& out);   // "chm"
void write_download_cli(Build& build, LangBuild& lang, Sink& out);            // "cli"

}  // namespace mt
